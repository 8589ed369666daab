#include "dialog_test_helpers.h"
#include "address/resolution_dlg.h"

#include "address/resolution_dlg_ids.h"
#include "framework/message_box.h"
#include "framework/widgets/control_ids.h"
#include "framework/widgets/dialog_units.h"

#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>


// The resolution dialog in its modal run: the test acts on it from inside
// exec(), as the operator would.

namespace {

TEST(ResolutionDlg, LaysOutTemplate135WithSingleDensityChosen)
{
    CResolutionDlg dialog;
    dialog.show();
    const CDialogUnits units(dialog.font());
    EXPECT_EQ(dialog.windowTitle(), "Set resolution");
    // As wide as the template, or wider where the font needs it for the
    // density texts (the layout test checks that they fit).
    EXPECT_EQ(dialog.height(), units.Y(77));
    EXPECT_GE(dialog.width(), units.X(221));
    EXPECT_EQ(Control<QRadioButton>(dialog, IDC_RESOLUTION_SINGLE)->text(),
              "Single Density (DX-300 : 104 x 96, DX-400 : 80 x 72)");
    EXPECT_EQ(Control<QRadioButton>(dialog, IDC_RESOLUTION_DOUBLE)->text(),
              "Double Density (DX-300 : 208 x 96, DX-400 : 160 x 72)");
    EXPECT_EQ(Control<QRadioButton>(dialog, IDC_RESOLUTION_QUAD)->text(),
              "Quard Density (DX-300 : 208 x 192, DX-400 : 160 x 144)");
    EXPECT_TRUE(Control<QRadioButton>(dialog, IDC_RESOLUTION_SINGLE)->isChecked());
    EXPECT_FALSE(Control<QRadioButton>(dialog, IDC_RESOLUTION_DOUBLE)->isChecked());
    EXPECT_FALSE(Control<QRadioButton>(dialog, IDC_RESOLUTION_QUAD)->isChecked());
    EXPECT_EQ(Control<QPushButton>(dialog, win::kIdOk)->text(), "OK");
    EXPECT_TRUE(Control<QPushButton>(dialog, win::kIdOk)->isDefault());
    EXPECT_EQ(dialog.findChildren<QPushButton*>().size(), 1);  // no Cancel button: Escape cancels
}

TEST(ResolutionDlg, OkGivesTheDensityOfTheChoiceInTheGroupsOrder)
{
    // The values follow the buttons' order in the dialog, not their ids.
    const std::pair<int, int> cases[] = {
        {-1, 0},  // OK without a change
        {IDC_RESOLUTION_SINGLE, 0},
        {IDC_RESOLUTION_DOUBLE, 1},
        {IDC_RESOLUTION_QUAD, 2},
    };
    for (const auto& [id, density] : cases) {
        // A copy, since lambdas may not capture structured bindings before
        // clang 16.
        const int choice = id;
        SCOPED_TRACE(choice);
        CResolutionDlg dialog;
        const int result = RunModal(dialog, [&] {
            if (choice >= 0)
                Control<QRadioButton>(dialog, choice)->click();
            Control<QPushButton>(dialog, win::kIdOk)->click();
        });
        EXPECT_EQ(result, QDialog::Accepted);
        EXPECT_EQ(DotDensityNumber(dialog.Density()), density);
    }
}

TEST(ResolutionDlg, EscapeCancelsTheDownload)
{
    CResolutionDlg dialog;
    const int result = RunModal(dialog, [&] {
        Control<QRadioButton>(dialog, IDC_RESOLUTION_QUAD)->click();
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    EXPECT_EQ(result, QDialog::Rejected);

    CResolutionDlg closed;
    EXPECT_EQ(RunModal(closed, [&] { closed.close(); }), QDialog::Rejected);
}

}  // namespace
