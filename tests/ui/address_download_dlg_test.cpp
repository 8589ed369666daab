#include "dialog_test_helpers.h"
#include "address/address_download_dlg.h"

#include "address/address_commands.h"
#include "address/address_dlg_ids.h"
#include "address/address_input_dlg.h"
#include "address/address_sequence.h"
#include "e2e/e2e_support.h"
#include "file_dialog_script.h"
#include "framework/widgets/control_ids.h"
#include "kinds/printer_kind.h"
#include "support/message_recorder.h"
#include "support/virtual_clock.h"
#include "transport/printer_connection.h"

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <functional>
#include <memory>
#include <thread>

// The address download dialog against a two-colour virtual printer on
// loopback; the 5,000 ms, 3,000 ms and 500 ms waits run in virtual time.

namespace {



QStringList UsedList(const QDialog& dialog)
{
    const QListWidget* list = Control<QListWidget>(dialog, IDC_ADDR_USED_LIST);
    QStringList entries;
    for (int row = 0; row < list->count(); ++row)
        entries.append(list->item(row)->text());
    return entries;
}

QString Remaining(const QDialog& dialog) { return Control<QLabel>(dialog, IDC_ADDR_REMAINING)->text(); }
QString Status(const QDialog& dialog) { return Control<QLabel>(dialog, IDC_ADDR_STATUS)->text(); }

// The six buttons a download disables, as "1 1074 ..." for those enabled.
std::string EnabledButtons(const QDialog& dialog)
{
    QStringList ids;
    const std::initializer_list<int> buttons = {win::kIdOk, IDC_ADDR_GET_ADDRESS, IDC_ADDR_USER_DOWNLOAD,
                                                IDC_ADDR_AUTO_DOWNLOAD, IDC_ADDR_SAVE_FILE, IDC_ADDR_DELETE};
    for (int id : buttons) {
        if (Control(dialog, id)->isEnabled())
            ids.append(QString::number(id));
    }
    return ids.join(u' ').toStdString();
}

const char kAllEnabled[] = "1 1074 1075 1076 1077 1080";

// Answers the address prompts as they appear: once a prompt's modal loop
// runs, the next action acts on it. A prompt beyond the script is cancelled
// and fails the test, so nothing waits for an operator.
class CPromptScript : public QObject {
public:
    using Action = std::function<void(CAddressInputDlg&)>;

    explicit CPromptScript(std::deque<Action> actions) : m_actions(std::move(actions))
    {
        qApp->installEventFilter(this);
    }
    ~CPromptScript() override { qApp->removeEventFilter(this); }

    int Shown() const { return m_shown; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* prompt = qobject_cast<CAddressInputDlg*>(watched);
        if (!prompt || event->type() != QEvent::Show)
            return false;
        ++m_shown;
        QTimer::singleShot(0, prompt, [this, guarded = QPointer<CAddressInputDlg>(prompt)] {
            if (!guarded)
                return;
            if (m_actions.empty()) {
                ADD_FAILURE() << "an address prompt beyond the script";
                guarded->reject();
                return;
            }
            const Action action = std::move(m_actions.front());
            m_actions.pop_front();
            action(*guarded);
        });
        return false;
    }

private:
    std::deque<Action> m_actions;
    int m_shown = 0;
};

void Answer(CAddressInputDlg& prompt, const QString& address)
{
    Control<QLineEdit>(prompt, IDC_ADDR_INPUT)->setText(address);
    Control<QPushButton>(prompt, win::kIdOk)->click();
}

// Waits of up to 100 ms really pass (the printer gets that time to act);
// longer ones stay virtual.
class CShortWaitsInRealTime final : public CSteppedClock {
public:
    CShortWaitsInRealTime() : m_installed(this) {}
    void Sleep(int ms) override
    {
        CSteppedClock::Sleep(ms);
        if (ms > 0 && ms <= 100)
            std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }

private:
    CInstalledClock m_installed;
};

class AddressDownloadDlgTest : public ::testing::Test {
protected:
    DownloadList Logos(int count)
    {
        QStringList paths;
        for (int i = 0; i < count; ++i)
            paths.append(WriteTestLogo(m_dir, QStringLiteral("%1.bmp").arg(QChar(u'a' + i)), 16 + 8 * i, 8));
        return ConvertLogos(PrinterKind::TwoColor, paths);
    }

    std::unique_ptr<CAddressDownloadDlg> MakeDialog(const PortSettings& settings, DownloadList items)
    {
        return std::make_unique<CAddressDownloadDlg>(settings, settings.interfaceKind,
                                                     FormatIpAddress(settings.ipAddress), settings.tcpPort,
                                                     QStringLiteral("QX-90"), std::move(items));
    }
    std::unique_ptr<CAddressDownloadDlg> OpenDialog(DownloadList items)
    {
        auto dialog = MakeDialog(m_sim.Ethernet(), std::move(items));
        dialog->show();
        return dialog;
    }

    // Stores the items under these addresses, as another program would have.
    void Store(DownloadList items, const QStringList& addresses)
    {
        CPrinterConnection connection(m_sim.Ethernet(), OpenFailureText::AddressDialogs);
        ASSERT_TRUE(connection.OpenPrinter());
        for (size_t i = 0; i < items.size(); ++i) {
            SetItemAddress(items[i], *AddressFromText(addresses[static_cast<qsizetype>(i)]));
            ASSERT_TRUE(connection.WritePrinter(items[i].data));
        }
        connection.ClosePrinter();
        ASSERT_TRUE(m_sim.WaitForImages(static_cast<int>(items.size())));
    }

    static int TotalSize(const DownloadList& items)
    {
        int total = 0;
        for (const DownloadItem& item : items)
            total += item.size();
        return total;
    }

    CTestDir m_dir;
    CSimulatedPrinter m_sim{PrinterKind::TwoColor};
    CVirtualClock m_clock;
    CMessageRecorder m_messages;
};

}  // namespace

TEST_F(AddressDownloadDlgTest, OpensWithTheUsedAddressesSortedAndTheFreeMemory)
{
    {
        const auto dialog = OpenDialog(Logos(1));
        EXPECT_EQ(dialog->windowTitle(), "QX-90 Stampdesk");
        EXPECT_EQ(Remaining(*dialog), "262144");
        EXPECT_EQ(Status(*dialog), "");
        EXPECT_EQ(Listed(UsedList(*dialog)), Listed({}));
        EXPECT_EQ(EnabledButtons(*dialog), kAllEnabled);
        EXPECT_EQ(Control<QPushButton>(*dialog, IDC_ADDR_USER_DOWNLOAD)->text(),
                  "User Defined Address \r\nDownload");
        EXPECT_EQ(Control<QPushButton>(*dialog, win::kIdOk)->text(), "Exit");
    }
    const DownloadList held = Logos(2);
    Store(held, {QStringLiteral("05"), QStringLiteral("02")});
    const auto dialog = OpenDialog(Logos(1));
    EXPECT_EQ(Listed(UsedList(*dialog)), Listed({"02", "05"}));
    EXPECT_EQ(Remaining(*dialog), QString::number(m_sim.Printer().FreeBytes()));
    EXPECT_LT(m_sim.Printer().FreeBytes(), 262144);
    EXPECT_TRUE(m_messages.Texts().isEmpty());
}

TEST_F(AddressDownloadDlgTest, AutoDownloadStoresUnder00To02WithProgressAndRemainingMemory)
{
    DownloadList items = Logos(3);
    const int total = TotalSize(items);
    const auto dialog = OpenDialog(items);
    QProgressBar* progress = Control<QProgressBar>(*dialog, IDC_ADDR_PROGRESS);
    QStringList steps;
    QObject::connect(progress, &QProgressBar::valueChanged, progress, [&](int value) {
        if (value > 0)
            steps.append(QStringLiteral("%1 [%2] enabled: %3").arg(value).arg(Status(*dialog)).arg(
                QString::fromStdString(EnabledButtons(*dialog))));
    });

    Click(*dialog, IDC_ADDR_AUTO_DOWNLOAD);
    ASSERT_TRUE(m_sim.WaitForImages(3));
    EXPECT_EQ(Listed(m_sim.StoredNames()), Listed({"00", "01", "02"}));
    // Every step shows its line; nothing can be pressed while it runs.
    EXPECT_EQ(Listed(steps), Listed({"10 [Downloding... a.bmp ( 1 / 3 ) ] enabled: ",
                                   "20 [Downloding... b.bmp ( 2 / 3 ) ] enabled: ",
                                   "30 [Downloding... c.bmp ( 3 / 3 ) ] enabled: "}));
    EXPECT_EQ(progress->value(), 30);
    EXPECT_EQ(progress->maximum(), 30);
    EXPECT_EQ(Remaining(*dialog), QString::number(262144 - total));
    EXPECT_EQ(Listed(UsedList(*dialog)), Listed({"00", "01", "02"}));
    EXPECT_EQ(EnabledButtons(*dialog), kAllEnabled);
    EXPECT_EQ(Listed(m_messages.Texts()), Listed({"Completed printer flash memory delete!\r\nWait a few minute!",
                                               "Image download finished!"}));
    EXPECT_EQ(m_messages.Requests().back().icon, MessageIcon::Exclamation);
    const std::vector<int> sleeps = m_clock.Sleeps();
    EXPECT_NE(std::find(sleeps.begin(), sleeps.end(), 5000), sleeps.end());
}

TEST_F(AddressDownloadDlgTest, UserDefinedDownloadAsksEachImageAndACancelKeepsTheFirst)
{
    Store(Logos(1), {QStringLiteral("07")});
    DownloadList items = Logos(2);
    const auto dialog = OpenDialog(items);
    const int before = Remaining(*dialog).toInt();
    CPromptScript prompts({
        // The prompt knows what the printer holds: 07 is refused.
        [](CAddressInputDlg& prompt) {
            Answer(prompt, QStringLiteral("07"));
            ASSERT_TRUE(prompt.isVisible());
            Answer(prompt, QStringLiteral("A1"));
        },
        [](CAddressInputDlg& prompt) {
            EXPECT_EQ(Control<QLineEdit>(prompt, IDC_ADDR_INPUT)->text(), "00");
            Control<QPushButton>(prompt, win::kIdCancel)->click();
        },
    });

    Click(*dialog, IDC_ADDR_USER_DOWNLOAD);
    EXPECT_EQ(prompts.Shown(), 2);
    ASSERT_TRUE(m_sim.WaitForImages(2));
    EXPECT_EQ(Listed(m_sim.StoredNames()), Listed({"07", "A1"}));
    EXPECT_EQ(Listed(m_messages.Texts()), Listed({"Exists address!", "Cancel to download image!"}));
    EXPECT_EQ(Status(*dialog), "Downloding... a.bmp ( 1 / 2 ) ");
    EXPECT_EQ(Control<QProgressBar>(*dialog, IDC_ADDR_PROGRESS)->value(), 10);
    EXPECT_EQ(Control<QProgressBar>(*dialog, IDC_ADDR_PROGRESS)->maximum(), 20);
    EXPECT_EQ(Remaining(*dialog), QString::number(before - items[0].size()));
    // A cancelled run does not read the list again.
    EXPECT_EQ(Listed(UsedList(*dialog)), Listed({"07"}));
    EXPECT_EQ(EnabledButtons(*dialog), kAllEnabled);
}

TEST_F(AddressDownloadDlgTest, SaveFileNumbersTheImagesWithoutTouchingThePrinter)
{
    const DownloadList items = Logos(2);
    const auto dialog = OpenDialog(items);
    const qint64 connections = m_sim.Printer().Counters().connections;
    CFileDialogScript files;
    const QString path = m_dir.Path(QStringLiteral("logos.prn"));
    files.QueueAnswer({path});
    Click(*dialog, IDC_ADDR_SAVE_FILE);
    ASSERT_EQ(files.Requests().size(), 1u);
    EXPECT_EQ(files.Requests()[0].mode, FileDialogRequest::Save);
    EXPECT_EQ(files.Requests()[0].filter, "Print Files(*.prn)|*.prn||");
    EXPECT_EQ(files.Requests()[0].defaultSuffix, "prn");
    EXPECT_TRUE(files.Requests()[0].confirmOverwrite);
    EXPECT_EQ(Listed(m_messages.Texts()), Listed({"Print files Save finished"}));
    EXPECT_EQ(m_messages.Requests().back().icon, MessageIcon::Exclamation);

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray saved = file.readAll();
    ASSERT_EQ(saved.size(), TotalSize(items));
    EXPECT_EQ(saved.mid(kKeyCodeOffset, 2), "00");
    EXPECT_EQ(saved.mid(items[0].size() + kKeyCodeOffset, 2), "01");
    EXPECT_EQ(saved.left(kKeyCodeOffset), items[0].data.left(kKeyCodeOffset));
    EXPECT_EQ(saved.mid(kKeyCodeOffset + 2, items[0].size() - kKeyCodeOffset - 2),
              items[0].data.mid(kKeyCodeOffset + 2));
    EXPECT_EQ(m_sim.Printer().Counters().connections, connections);

    // Cancelled, and a file that cannot be created: neither says finished.
    m_messages.Clear();
    Click(*dialog, IDC_ADDR_SAVE_FILE);
    files.QueueAnswer({m_dir.Path(QStringLiteral("no/such/folder/logos.prn"))});
    Click(*dialog, IDC_ADDR_SAVE_FILE);
    ASSERT_EQ(m_messages.Texts().size(), 2);
    EXPECT_EQ(m_messages.Texts()[0].toStdString(), "Cancel to save file!");
    EXPECT_TRUE(m_messages.Texts()[1].startsWith("Cannot save the print file")) << m_messages.Texts()[1].toStdString();
    EXPECT_FALSE(QFile::exists(m_dir.Path(QStringLiteral("no/such/folder/logos.prn"))));
}

TEST_F(AddressDownloadDlgTest, DeleteAddressAsksFirstAndLeavesTheListAsItWasUntilGetAddress)
{
    Store(Logos(2), {QStringLiteral("01"), QStringLiteral("03")});
    const auto dialog = OpenDialog(Logos(1));
    const QString remaining = Remaining(*dialog);
    const qint64 received = m_sim.Printer().Counters().bytesReceived;

    // No (the default button) keeps every image; nothing goes to the printer.
    m_messages.QueueAnswer(win::kIdNo);
    Click(*dialog, IDC_ADDR_DELETE);
    ASSERT_EQ(m_messages.Requests().size(), 1u);
    const MessageRequest& question = m_messages.Requests()[0];
    EXPECT_EQ(question.text.toStdString(),
              "Delete every image stored in the printer?\r\nThe list shows 2 images; all of them will be lost.");
    EXPECT_EQ(question.buttons, MessageButtons::YesNo);
    EXPECT_TRUE(question.defaultNo);
    EXPECT_EQ(m_sim.Printer().Counters().bytesReceived, received);
    EXPECT_EQ(Listed(m_sim.StoredNames()), Listed({"01", "03"}));

    m_messages.Clear();
    m_messages.QueueAnswer(win::kIdYes);
    Click(*dialog, IDC_ADDR_DELETE);
    ASSERT_TRUE(m_sim.Printer().WaitFor([&] { return m_sim.StoredNames().isEmpty(); }, 5000));
    EXPECT_EQ(m_messages.Texts().size(), 2);
    EXPECT_EQ(m_messages.Texts().back().toStdString(), "Completed printer flash memory delete!\r\nWait a few minute!");
    EXPECT_EQ(Listed(UsedList(*dialog)), Listed({"01", "03"}));
    EXPECT_EQ(Remaining(*dialog), remaining);

    Click(*dialog, IDC_ADDR_GET_ADDRESS);
    EXPECT_EQ(Listed(UsedList(*dialog)), Listed({}));
    EXPECT_EQ(m_messages.Texts().size(), 2);
}

// One dialog through a good download and one the printer hangs up on during
// its last image. Throughout: the dialog cannot be closed while it talks to
// the printer, the used list is up to date before an outcome is told, names
// are shown as text, and a download the printer did not get all of is never
// "finished".
TEST_F(AddressDownloadDlgTest, DownloadsTellTheTruthAfterTheListIsShownAndCannotBeClosedHalfWay)
{
    const DownloadList items = ConvertLogos(
        PrinterKind::TwoColor, {WriteTestLogo(m_dir, QStringLiteral("<i>it.bmp"), 300, 40),
                                WriteTestLogo(m_dir, QStringLiteral("a-shop-logo-with-a-long-name-for-the-status-line.bmp"),
                                              200, 40)});
    ASSERT_GT(items.back().size(), CPrinterConnection::kEthernetBlockSize);
    const auto dialog = OpenDialog(items);
    QStringList seen;  // each message with what the list and the window showed then
    const CScopedMessageHandler handler([&](const MessageRequest& request) {
        // The operator tries to close the window while the message is up.
        QTest::keyClick(dialog.get(), Qt::Key_Escape);
        dialog->close();
        seen << QStringLiteral("%1 [%2] %3")
                    .arg(request.text, UsedList(*dialog).join(','),
                         dialog->isVisible() ? QStringLiteral("open") : QStringLiteral("closed"));
        return win::kIdOk;
    });
    Click(*dialog, IDC_ADDR_AUTO_DOWNLOAD);
    EXPECT_EQ(Listed(seen), Listed({"Completed printer flash memory delete!\r\nWait a few minute! [] open",
                                    "Image download finished! [00,01] open"}));
    // The status line is one line of text: a long name is cut in the middle
    // and shown whole in the tooltip.
    const QLabel* status = Control<QLabel>(*dialog, IDC_ADDR_STATUS);
    EXPECT_EQ(status->textFormat(), Qt::PlainText);
    EXPECT_EQ(status->toolTip().toStdString(),
              "Downloding... a-shop-logo-with-a-long-name-for-the-status-line.bmp ( 2 / 2 ) ");
    EXPECT_LE(status->fontMetrics().horizontalAdvance(status->text()), status->contentsRect().width());

    // The printer hangs up two bytes before the end of the last image. The
    // host's short wait after its last piece runs in real time, so the
    // hang-up arrives meanwhile, as it would on the network.
    const CShortWaitsInRealTime shortWaits;
    SimFaults faults;
    faults.closeAfterBytes = TotalSize(items) - 2;
    m_sim.Printer().SetFaults(faults);
    seen.clear();
    Click(*dialog, IDC_ADDR_AUTO_DOWNLOAD);
    ASSERT_EQ(seen.size(), 2) << Listed(seen);
    EXPECT_TRUE(seen[1].startsWith("Error to write image data! [") && seen[1].endsWith("] open")) << Listed(seen);
    EXPECT_EQ(EnabledButtons(*dialog), kAllEnabled);
    m_sim.Printer().SetFaults({});
    EXPECT_EQ(Listed(m_sim.StoredNames()), Listed({"00"}));
}

TEST_F(AddressDownloadDlgTest, AbsentPrinterClosesTheDialogAtOnce)
{
    PortSettings absent;
    {
        CSimulatedPrinter stopped(PrinterKind::TwoColor);
        absent = stopped.Ethernet();
    }
    const auto dialog = MakeDialog(absent, Logos(1));
    // Should the dialog open after all, the test ends it instead of waiting.
    QTimer::singleShot(0, dialog.get(), [&] {
        ADD_FAILURE() << "the dialog opened";
        dialog->accept();
    });
    EXPECT_EQ(dialog->exec(), QDialog::Rejected);
    EXPECT_FALSE(dialog->isVisible());
    ASSERT_EQ(m_messages.Texts().size(), 1);
    EXPECT_TRUE(m_messages.Texts()[0].startsWith("Error : Failed to connected"));
}

TEST_F(AddressDownloadDlgTest, UsbOpensWithoutAskingAndRefusesGetAddress)
{
    const QString device = m_dir.Path(QStringLiteral("lp0"));
    ASSERT_TRUE(QFile(device).open(QIODevice::WriteOnly));
    PortSettings usb;
    usb.interfaceKind = InterfaceKind::Usb;
    usb.portName = device;
    const auto dialog = MakeDialog(usb, Logos(1));
    dialog->show();
    EXPECT_EQ(Remaining(*dialog), "262144");
    EXPECT_EQ(Listed(UsedList(*dialog)), Listed({}));
    Click(*dialog, IDC_ADDR_GET_ADDRESS);
    EXPECT_EQ(Listed(m_messages.Texts()), Listed({"If it is USB I/F, it dosen't support this function!"}));
    EXPECT_EQ(QFile(device).size(), 0);
}
