#include "dialog_test_helpers.h"
#include "address/address_list_dlg.h"

#include "address/address_commands.h"
#include "address/address_download_dlg.h"
#include "address/address_dlg_ids.h"
#include "address/address_input_dlg.h"
#include "address/address_list_operations.h"
#include "address/address_sequence.h"
#include "e2e/e2e_support.h"
#include "framework/widgets/control_ids.h"
#include "kinds/printer_kind.h"
#include "support/message_recorder.h"
#include "support/virtual_clock.h"
#include "transport/printer_connection.h"
#include "transport/usb_stand_in.h"

#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

// The address list dialog against a two-colour virtual printer on loopback;
// the 1,000 ms reply wait runs in virtual time.

namespace {



QListWidget* List(const QDialog& dialog) { return Control<QListWidget>(dialog, IDC_ADDR_LIST); }

QStringList Entries(const QDialog& dialog)
{
    QStringList entries;
    for (int row = 0; row < List(dialog)->count(); ++row)
        entries.append(List(dialog)->item(row)->text());
    return entries;
}

// The buttons that are enabled, in id order.
std::string EnabledButtons(const QDialog& dialog)
{
    QStringList ids;
    const std::initializer_list<int> buttons = {win::kIdOk, IDC_ADDR_GET_LIST, IDC_ADDR_REMOVE, IDC_ADDR_REMOVE_ALL,
                                                IDC_ADDR_PRINT, IDC_ADDR_PRINT_ALL, IDC_ADDR_CUSTOM_PRINT};
    for (int id : buttons) {
        if (Control(dialog, id)->isEnabled())
            ids.append(QString::number(id));
    }
    return ids.join(u' ').toStdString();
}

void Select(const QDialog& dialog, const QString& address)
{
    const QList<QListWidgetItem*> found = List(dialog)->findItems(address, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << address.toStdString();
    found.front()->setSelected(true);
}

const char kAllButtons[] = "1 1044 1045 1046 1047 1048 1051";
// "Remove All" is on when the dialog opens; once the list has been emptied
// it waits for the next list with the others.
const char kAtStart[] = "1 1044 1046 1048 1051";
const char kWithoutListButtons[] = "1 1044 1048 1051";

class AddressListDlgTest : public ::testing::Test {
protected:
    std::unique_ptr<CAddressListDlg> OpenDialog(const PortSettings& settings)
    {
        auto dialog = std::make_unique<CAddressListDlg>(settings, settings.interfaceKind,
                                                        FormatIpAddress(settings.ipAddress), settings.tcpPort);
        dialog->show();
        return dialog;
    }
    std::unique_ptr<CAddressListDlg> OpenDialog() { return OpenDialog(m_sim.Ethernet()); }

    // Stores one small image under each address, in that order, as another
    // program would have.
    void Store(const QStringList& addresses)
    {
        const int before = static_cast<int>(m_sim.Printer().StoredImages().size());
        CPrinterConnection connection(m_sim.Ethernet(), OpenFailureText::AddressDialogs);
        ASSERT_TRUE(connection.OpenPrinter());
        for (const QString& text : addresses) {
            DownloadList items = ConvertLogos(PrinterKind::TwoColor, {m_logo});
            ASSERT_EQ(items.size(), 1u);
            const QByteArray key = text.toLatin1();  // any two bytes, as another program may store
            SetItemAddress(items.front(), {key[0], key[1]});
            ASSERT_TRUE(connection.WritePrinter(items.front().data));
        }
        connection.ClosePrinter();
        ASSERT_TRUE(m_sim.WaitForImages(before + static_cast<int>(addresses.size())));
    }

    // Waits until the printer has taken this many connections in all.
    bool WaitForConnections(qint64 count)
    {
        return m_sim.Printer().WaitFor([&] { return m_sim.Printer().Counters().connections >= count; }, 5000);
    }

    QStringList PrintedNames()
    {
        QStringList names;
        for (const SimPrint& print : m_sim.Printer().Prints())
            names.append(print.name);
        return names;
    }

    CTestDir m_dir;
    CSimulatedPrinter m_sim{PrinterKind::TwoColor};
    CVirtualClock m_clock;
    CMessageRecorder m_messages;
    QString m_logo = WriteTestLogo(m_dir, QStringLiteral("logo.bmp"), 16, 8);
};

}  // namespace

TEST_F(AddressListDlgTest, OpensWithRemoveAndPrintDisabledAndTheCustomAddress00)
{
    const auto dialog = OpenDialog();
    EXPECT_EQ(dialog->windowTitle(), "TX-200 Printer");
    EXPECT_EQ(Control<QPushButton>(*dialog, IDC_ADDR_GET_LIST)->text(), "Get Address List");
    EXPECT_EQ(Control<QPushButton>(*dialog, win::kIdOk)->text(), "Close");
    bool groupFound = false;
    for (const QGroupBox* group : dialog->findChildren<QGroupBox*>())
        groupFound = groupFound || group->title() == "Custom address ";
    EXPECT_TRUE(groupFound);
    EXPECT_EQ(EnabledButtons(*dialog), kAtStart);
    EXPECT_EQ(Listed(Entries(*dialog)), Listed({}));

    QLineEdit* custom = Control<QLineEdit>(*dialog, IDC_ADDR_CUSTOM);
    EXPECT_EQ(custom->text(), "00");
    custom->selectAll();
    QTest::keyClicks(custom, QStringLiteral("A1x"));
    EXPECT_EQ(custom->text(), "A1");
    Click(*dialog, IDC_ADDR_CUSTOM_PRINT);
    ASSERT_TRUE(m_sim.WaitForPrints(1));
    // The custom address is not compared with anything: the printer answers
    // a print of an address it does not hold.
    EXPECT_EQ(Listed(PrintedNames()), Listed({"A1"}));
    EXPECT_FALSE(m_sim.Printer().Prints().front().found);

    // One character is refused before the printer is even contacted.
    const qint64 connections = m_sim.Printer().Counters().connections;
    custom->selectAll();
    QTest::keyClicks(custom, QStringLiteral("5"));
    Click(*dialog, IDC_ADDR_CUSTOM_PRINT);
    EXPECT_EQ(Listed(m_messages.Texts()), Listed({QString::fromLatin1(kAddressTooShortText)}));
    // So is a character the printer would not take (it once went out as '?').
    m_messages.Clear();
    custom->setText(QString::fromUtf8("\xe2\x82\xac" "1"));
    Click(*dialog, IDC_ADDR_CUSTOM_PRINT);
    EXPECT_EQ(Listed(m_messages.Texts()), Listed({QString::fromLatin1(kAddressCharactersText)}));
    EXPECT_EQ(m_sim.Printer().Counters().connections, connections);
    EXPECT_EQ(PrintedNames().size(), 1);
}

TEST_F(AddressListDlgTest, GetAddressListFillsInReplyOrderAndPrintsBySelection)
{
    Store({QStringLiteral("05"), QStringLiteral("02")});
    const auto dialog = OpenDialog();
    Click(*dialog, IDC_ADDR_GET_LIST);
    EXPECT_EQ(Listed(Entries(*dialog)), Listed({"05", "02"}));
    EXPECT_EQ(EnabledButtons(*dialog), kAllButtons);
    EXPECT_TRUE(m_messages.Texts().isEmpty());
    EXPECT_EQ(m_clock.Sleeps(), std::vector<int>{1000});

    // Without a selection nothing is sent.
    const qint64 connections = m_sim.Printer().Counters().connections;
    Click(*dialog, IDC_ADDR_PRINT);
    Click(*dialog, IDC_ADDR_REMOVE);
    EXPECT_EQ(Listed(m_messages.Texts()), Listed({"Select address!", "Select address!"}));
    EXPECT_EQ(m_sim.Printer().Counters().connections, connections);

    Select(*dialog, QStringLiteral("02"));
    Click(*dialog, IDC_ADDR_PRINT);
    Click(*dialog, IDC_ADDR_PRINT_ALL);
    ASSERT_TRUE(m_sim.WaitForPrints(3));
    EXPECT_EQ(Listed(PrintedNames()), Listed({"02", "05", "02"}));
    EXPECT_EQ(Listed(Entries(*dialog)), Listed({"05", "02"}));
    EXPECT_EQ(m_messages.Texts().size(), 2);
}

TEST_F(AddressListDlgTest, RemoveTakesOnlyTheSelectedEntryAndTheLastOneDisablesTheButtons)
{
    Store({QStringLiteral("00"), QStringLiteral("01")});
    const auto dialog = OpenDialog();
    Click(*dialog, IDC_ADDR_GET_LIST);
    Select(*dialog, QStringLiteral("00"));
    Click(*dialog, IDC_ADDR_REMOVE);
    ASSERT_TRUE(m_sim.Printer().WaitFor([&] { return m_sim.StoredNames() == QStringList({"01"}); }, 5000));
    EXPECT_EQ(Listed(Entries(*dialog)), Listed({"01"}));
    EXPECT_EQ(EnabledButtons(*dialog), kAllButtons);

    // The selection does not move to the next entry: a second Remove asks
    // for one instead of deleting an image nobody chose.
    Click(*dialog, IDC_ADDR_REMOVE);
    EXPECT_EQ(Listed(m_messages.Texts()), Listed({"Select address!"}));
    EXPECT_EQ(Listed(Entries(*dialog)), Listed({"01"}));

    Select(*dialog, QStringLiteral("01"));
    Click(*dialog, IDC_ADDR_REMOVE);
    ASSERT_TRUE(m_sim.Printer().WaitFor([&] { return m_sim.StoredNames().isEmpty(); }, 5000));
    EXPECT_EQ(Listed(Entries(*dialog)), Listed({}));
    EXPECT_EQ(EnabledButtons(*dialog), kWithoutListButtons);
}

TEST_F(AddressListDlgTest, RemoveAllAsksFirstAndDisablesItselfUntilTheNextList)
{
    Store({QStringLiteral("00"), QStringLiteral("01")});
    const auto dialog = OpenDialog();
    Click(*dialog, IDC_ADDR_GET_LIST);
    const qint64 connections = m_sim.Printer().Counters().connections;
    // No, the default, keeps everything and does not even connect.
    m_messages.QueueAnswer(win::kIdNo);
    Click(*dialog, IDC_ADDR_REMOVE_ALL);
    ASSERT_EQ(m_messages.Requests().size(), 1u);
    EXPECT_EQ(m_messages.Texts()[0].toStdString(),
              "Delete every image stored in the printer?\r\nThe list shows 2 images; all of them will be lost.");
    EXPECT_TRUE(m_messages.Requests()[0].defaultNo);
    EXPECT_EQ(m_sim.Printer().Counters().connections, connections);
    EXPECT_EQ(Listed(Entries(*dialog)), Listed({"00", "01"}));

    m_messages.Clear();
    m_messages.QueueAnswer(win::kIdYes);
    Click(*dialog, IDC_ADDR_REMOVE_ALL);
    ASSERT_TRUE(m_sim.Printer().WaitFor([&] { return m_sim.StoredNames().isEmpty(); }, 5000));
    m_messages.Clear();
    EXPECT_EQ(Listed(Entries(*dialog)), Listed({}));
    EXPECT_EQ(EnabledButtons(*dialog), kWithoutListButtons);

    // An empty printer is told, and the buttons stay off.
    Click(*dialog, IDC_ADDR_GET_LIST);
    EXPECT_EQ(Listed(m_messages.Texts()), Listed({"Empty NV Image list!"}));
    EXPECT_EQ(EnabledButtons(*dialog), kWithoutListButtons);

    Store({QStringLiteral("03")});
    Click(*dialog, IDC_ADDR_GET_LIST);
    EXPECT_EQ(Listed(Entries(*dialog)), Listed({"03"}));
    EXPECT_EQ(EnabledButtons(*dialog), kAllButtons);
}

TEST_F(AddressListDlgTest, EmptyOrUnreadableListsDisableTheListButtons)
{
    Store({QStringLiteral("01")});
    const auto dialog = OpenDialog();
    Click(*dialog, IDC_ADDR_GET_LIST);
    ASSERT_EQ(EnabledButtons(*dialog), kAllButtons);

    // Emptied by someone else: the list empties and its buttons go off.
    CPrinterConnection other(m_sim.Ethernet(), OpenFailureText::AddressDialogs);
    ASSERT_TRUE(RemoveAllAddresses(other));
    ASSERT_TRUE(m_sim.Printer().WaitFor([&] { return m_sim.StoredNames().isEmpty(); }, 5000));
    Click(*dialog, IDC_ADDR_GET_LIST);
    EXPECT_EQ(Listed(m_messages.Texts()), Listed({"Empty NV Image list!"}));
    EXPECT_EQ(Listed(Entries(*dialog)), Listed({}));
    EXPECT_EQ(EnabledButtons(*dialog), kWithoutListButtons);

    // Letters and signs are addresses too: the prompt and the automatic
    // numbering (00 ... 09, 0:, 0; ...) store them.
    m_messages.Clear();
    Store({QStringLiteral("01"), QStringLiteral("A0"), QStringLiteral("0:")});
    Click(*dialog, IDC_ADDR_GET_LIST);
    EXPECT_TRUE(m_messages.Texts().isEmpty()) << m_messages.Texts().join('|').toStdString();
    EXPECT_EQ(Listed(Entries(*dialog)), Listed({"01", "A0", "0:"}));
    EXPECT_EQ(EnabledButtons(*dialog), kAllButtons);

    // A reply that is no list empties the list and turns its buttons off,
    // before the operator is told.
    SimFaults garbage;
    garbage.reply = SimReplyFault::Garbage;
    m_sim.Printer().SetFaults(garbage);
    QStringList told;
    {
        const CScopedMessageHandler handler([&](const MessageRequest& request) {
            told << request.text + QStringLiteral(" [") + Entries(*dialog).join(',') + QStringLiteral("]");
            return win::kIdOk;
        });
        Click(*dialog, IDC_ADDR_GET_LIST);
    }
    EXPECT_EQ(Listed(told), Listed({"Fail to get Image address list! []"}));
    EXPECT_EQ(Listed(Entries(*dialog)), Listed({}));
    EXPECT_EQ(EnabledButtons(*dialog), kWithoutListButtons);
}

// The printer continues a list of more than 43 addresses with status 41,
// which the command set cannot ask for: both address dialogs show what came
// and say how many that is and that the printer holds more.
TEST_F(AddressListDlgTest, ListsLongerThanOneReplyAreShownAsIncompleteInBothDialogs)
{
    QStringList held;
    for (int i = 0; i < 45; ++i)
        held << QString::asprintf("%02d", i);
    Store(held);
    const QString incomplete = IncompleteAddressListText(43);
    ASSERT_TRUE(incomplete.contains("43"));

    const auto dialog = OpenDialog();
    Click(*dialog, IDC_ADDR_GET_LIST);
    EXPECT_EQ(Entries(*dialog), held.mid(0, 43));
    EXPECT_EQ(m_messages.Texts(), QStringList({incomplete}));
    EXPECT_EQ(EnabledButtons(*dialog), kAllButtons);

    m_messages.Clear();
    const PortSettings settings = m_sim.Ethernet();
    CAddressDownloadDlg download(settings, settings.interfaceKind, FormatIpAddress(settings.ipAddress),
                                 settings.tcpPort, QStringLiteral("QX-90"), ConvertLogos(PrinterKind::TwoColor, {m_logo}));
    download.show();
    EXPECT_EQ(Control<QListWidget>(download, IDC_ADDR_USED_LIST)->count(), 43);
    EXPECT_EQ(m_messages.Texts(), QStringList({incomplete}));
    Click(download, IDC_ADDR_GET_ADDRESS);
    EXPECT_EQ(m_messages.Texts(), QStringList({incomplete, incomplete}));
}

TEST_F(AddressListDlgTest, PrintAllOfAnEmptyListConnectsAndSendsNothing)
{
    const auto dialog = OpenDialog();
    const qint64 connections = m_sim.Printer().Counters().connections;
    Click(*dialog, IDC_ADDR_PRINT_ALL);
    ASSERT_TRUE(WaitForConnections(connections + 1));
    // The printer reads the closed connection before it reports it.
    Click(*dialog, IDC_ADDR_CUSTOM_PRINT);
    ASSERT_TRUE(m_sim.WaitForPrints(1));
    EXPECT_EQ(Listed(PrintedNames()), Listed({"00"}));
    EXPECT_EQ(m_sim.Printer().Counters().bytesReceived, PrintImageCommand({'0', '0'}).size());
    EXPECT_TRUE(m_messages.Texts().isEmpty());
}

TEST_F(AddressListDlgTest, UnreachablePrinterIsACommunicationErrorAndKeepsTheList)
{
    Store({QStringLiteral("01")});
    const auto dialog = OpenDialog();
    Click(*dialog, IDC_ADDR_GET_LIST);
    m_sim.Printer().Stop();
    Click(*dialog, IDC_ADDR_GET_LIST);
    Select(*dialog, QStringLiteral("01"));
    Click(*dialog, IDC_ADDR_REMOVE);
    ASSERT_EQ(m_messages.Texts().size(), 4);
    EXPECT_TRUE(m_messages.Texts()[0].startsWith("Error : Failed to connected"));
    EXPECT_EQ(m_messages.Texts()[1].toStdString(), "Communication Error!");
    EXPECT_EQ(m_messages.Texts()[3].toStdString(), "Communication Error!");
    EXPECT_EQ(Listed(Entries(*dialog)), Listed({"01"}));
    EXPECT_EQ(EnabledButtons(*dialog), kAllButtons);
}

TEST_F(AddressListDlgTest, UsbCannotListButRemovesAllAndPrintsTheCustomAddress)
{
    CUsbStandIn printer;
    PortSettings usb;
    usb.interfaceKind = InterfaceKind::Usb;
    usb.portName = QStringLiteral("/nonexistent/usb-stand-in/lp0");
    const auto dialog = OpenDialog(usb);
    EXPECT_EQ(EnabledButtons(*dialog), "1 1046 1051");

    m_messages.QueueAnswer(win::kIdYes);
    Click(*dialog, IDC_ADDR_REMOVE_ALL);
    EXPECT_EQ(printer.State().delivered, DeleteAllImagesCommand());
    EXPECT_EQ(EnabledButtons(*dialog), "1 1051");

    printer.State().delivered.clear();
    Click(*dialog, IDC_ADDR_CUSTOM_PRINT);
    EXPECT_EQ(printer.State().delivered, PrintImageCommand({'0', '0'}));
    EXPECT_EQ(printer.State().cancelled, 0);
    // The list was never read: the question cannot say how many.
    EXPECT_EQ(Listed(m_messages.Texts()), Listed({"Delete every image stored in the printer?"}));
}
