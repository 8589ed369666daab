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
    EXPECT_EQ(ToQtFilter("Image Files(*.bmp)|*.bmp||"), "Image Files(*.bmp) (*.bmp)");
    EXPECT_EQ(ToQtFilter("Print Files(*.prn)|*.prn||"), "Print Files(*.prn) (*.prn)");
}
