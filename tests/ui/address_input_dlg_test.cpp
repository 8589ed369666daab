#include "dialog_test_helpers.h"
#include "address/address_input_dlg.h"

#include "address/address_dlg_ids.h"
#include "framework/widgets/control_ids.h"
#include "support/message_recorder.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>


// The address prompt of the user-defined download, driven by control id.

namespace {

QLineEdit* AddressEdit(const QDialog& dialog) { return Control<QLineEdit>(dialog, IDC_ADDR_INPUT); }

// Replaces the address the way the operator does: select all, type.
void Type(const QDialog& dialog, const QString& text)
{
    QLineEdit* edit = AddressEdit(dialog);
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

}  // namespace

TEST(AddressInputDlg, Opens00AndEnterTakesItWhenItIsFree)
{
    CMessageRecorder messages;
    CAddressInputDlg prompt({QStringLiteral("01"), QStringLiteral("A0")});
    EXPECT_EQ(prompt.windowTitle(), "Set NV Image Address");
    EXPECT_EQ(AddressEdit(prompt)->maxLength(), 2);
    EXPECT_EQ(AddressEdit(prompt)->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);

    QTimer::singleShot(0, &prompt, [&] {
        EXPECT_EQ(AddressEdit(prompt)->text(), "00");
        QTest::keyClick(AddressEdit(prompt), Qt::Key_Return);
    });
    EXPECT_EQ(prompt.exec(), QDialog::Accepted);
    EXPECT_EQ(prompt.ChosenAddress(), (NvAddress{'0', '0'}));
    EXPECT_TRUE(messages.Texts().isEmpty());
}

TEST(AddressInputDlg, RefusesUsedAndShortAddressesAndStaysOpen)
{
    CMessageRecorder messages;
    CAddressInputDlg prompt({QStringLiteral("00"), QStringLiteral("A0")});
    prompt.show();

    Control<QPushButton>(prompt, win::kIdOk)->click();
    EXPECT_TRUE(prompt.isVisible());
    Type(prompt, QStringLiteral("A0"));
    Control<QPushButton>(prompt, win::kIdOk)->click();
    EXPECT_TRUE(prompt.isVisible());
    // A single character cannot name an image: the commands carry two bytes.
    Type(prompt, QStringLiteral("7"));
    Control<QPushButton>(prompt, win::kIdOk)->click();
    EXPECT_TRUE(prompt.isVisible());
    EXPECT_EQ(messages.Texts(),
              QStringList({"Exists address!", "Exists address!", QString::fromLatin1(kAddressTooShortText)}));

    // The comparison is case-sensitive, and the edit keeps two characters.
    Type(prompt, QStringLiteral("a0x"));
    EXPECT_EQ(AddressEdit(prompt)->text(), "a0");
    Control<QPushButton>(prompt, win::kIdOk)->click();
    EXPECT_FALSE(prompt.isVisible());
    EXPECT_EQ(prompt.result(), QDialog::Accepted);
    EXPECT_EQ(prompt.ChosenAddress(), (NvAddress{'a', '0'}));
    EXPECT_EQ(messages.Texts().size(), 3);
}

TEST(AddressInputDlg, RefusesCharactersThePrinterDoesNotTake)
{
    CMessageRecorder messages;
    CAddressInputDlg prompt({});
    prompt.show();
    // Outside 20 to 7E: a Latin-1 letter, a character beyond Latin-1 (once
    // sent as '?'), a tab.
    for (const QString& text : {QString::fromUtf8("\xc3\xa9" "0"), QString::fromUtf8("\xe2\x82\xac" "1"),
                                QStringLiteral("0\t")}) {
        messages.Clear();
        AddressEdit(prompt)->setText(text);
        Control<QPushButton>(prompt, win::kIdOk)->click();
        EXPECT_TRUE(prompt.isVisible());
        EXPECT_EQ(messages.Texts(), QStringList{QString::fromLatin1(kAddressCharactersText)});
    }
    // Both ends of the range are fine.
    AddressEdit(prompt)->setText(QStringLiteral(" ~"));
    Control<QPushButton>(prompt, win::kIdOk)->click();
    EXPECT_EQ(prompt.result(), QDialog::Accepted);
    EXPECT_EQ(prompt.ChosenAddress(), (NvAddress{' ', '~'}));
}
