#include "framework/widgets/dialog_units.h"
#include "framework/widgets/file_dialogs.h"

#include <QApplication>

#include <gtest/gtest.h>

TEST(DialogUnits, GrowWithTheFont)
{
    QFont small = QApplication::font();
    small.setPointSize(8);
    QFont large = small;
    large.setPointSize(16);
    const CDialogUnits a(small);
    const CDialogUnits b(large);
    EXPECT_GT(a.X(500), 0);
    EXPECT_GT(b.X(500), a.X(500));
    EXPECT_GT(b.Y(351), a.Y(351));
    EXPECT_EQ(a.Rect(0, 0, 4, 8).width(), a.X(4));
}

TEST(FileDialogs, FramedFiltersBecomeQtFilters)
{
    // A name that shows its patterns already keeps them once.
    EXPECT_EQ(ToQtFilter("Print Files(*.prn)|*.prn||"), "Print Files(*.prn)");
    EXPECT_EQ(ToQtFilter("BMP images (*.bmp)|*.bmp|All files (*)|*||"), "BMP images (*.bmp);;All files (*)");
    EXPECT_EQ(ToQtFilter("Logos|*.bmp;*.png||"), "Logos (*.bmp *.png)");
    EXPECT_EQ(ToQtFilter("BMP images (*.bmp)|*.bmp|All pictures (*.png *.jpg)|*.png;*.jpg|All files (*)|*||"),
              "BMP images (*.bmp);;All pictures (*.png *.jpg);;All files (*)");
}

#include "framework/widgets/control_ids.h"
#include "framework/widgets/dialog_template.h"

#include <QDialog>
#include <QPushButton>
#include <QRadioButton>

TEST(DialogTemplate, BuildsControlsReachableByIdWithExclusiveRadioGroups)
{
    QDialog dialog;
    BuildDialog(&dialog, {"Caption", "Arial", 8, 100, 60,
                          {{1, ControlKind::DefaultPushButton, "OK", 5, 40, 40, 14},
                           {10, ControlKind::FirstRadioButton, "A", 5, 5, 40, 10},
                           {11, ControlKind::RadioButton, "B", 5, 15, 40, 10},
                           {12, ControlKind::FirstRadioButton, "C", 50, 5, 40, 10},
                           {-1, ControlKind::GroupBox, "Group", 0, 0, 100, 30}}});
    EXPECT_EQ(dialog.windowTitle(), "Caption");
    ASSERT_NE(FindControl<QPushButton>(&dialog, 1), nullptr);
    EXPECT_TRUE(FindControl<QPushButton>(&dialog, 1)->isDefault());
    auto* a = FindControl<QRadioButton>(&dialog, 10);
    auto* b = FindControl<QRadioButton>(&dialog, 11);
    auto* c = FindControl<QRadioButton>(&dialog, 12);
    ASSERT_TRUE(a && b && c);
    a->setChecked(true);
    c->setChecked(true);
    b->setChecked(true);
    EXPECT_FALSE(a->isChecked());  // A and B share a group
    EXPECT_TRUE(c->isChecked());   // C starts its own
}
