#include "dialog_test_helpers.h"
#include "download/upload_dlg.h"

#include "operations/start_command.h"
#include "download/upload_dlg_ids.h"
#include "e2e/e2e_support.h"
#include "file_dialog_script.h"
#include "framework/widgets/control_ids.h"
#include "framework/widgets/program_end.h"
#include "kinds/printer_kind.h"
#include "sim/nv_image_decode.h"
#include "support/bmp_writer.h"
#include "support/message_recorder.h"
#include "support/read_only_folder.h"
#include "support/temp_dir.h"
#include "support/virtual_clock.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <thread>

// The upload dialog against the virtual printer: every download runs through
// real widgets, over loopback or the printer's pseudo-terminal, with the
// pacing in virtual time (the dialog's timers fire at once and the clock
// records what they were started with).

namespace {


// Runs the event loop until the condition holds; false after 20 s of real time.
bool RunUntil(const std::function<bool()>& condition)
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (!condition()) {
        if (elapsed.elapsed() > 20000)
            return false;
        QCoreApplication::processEvents();
    }
    return true;
}

// Keeps the event loop running for a while, for things that must NOT happen.
void RunFor(int ms)
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (elapsed.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

QString ButtonStates(const QWidget& dialog)
{
    QString states;
    for (int id : {IDC_UPLOAD_START, IDC_UPLOAD_SAVE_FILE, IDC_UPLOAD_CLOSE})
        states += Control(dialog, id)->isEnabled() ? '1' : '0';
    return states;
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

QByteArray Stream(const QByteArray& start, const DownloadList& items)
{
    QByteArray bytes = start;
    for (const DownloadItem& item : items)
        bytes += item.data;
    return bytes;
}

// What the progress bar showed each time it moved, with the status line and
// the buttons at that moment.
struct Step {
    int position;
    QString status;
    QString buttons;
    friend bool operator==(const Step&, const Step&) = default;
};

void PrintTo(const Step& step, std::ostream* out)
{
    *out << step.position << " \"" << step.status.toStdString() << "\" " << step.buttons.toStdString();
}

// A logo that prints black wherever WriteTestLogo's logo has colour: the two
// red rows and every third column.
qsizetype TestLogoBlackDots(int width, int height)
{
    return 2 * width + (height - 2) * ((width + 2) / 3);
}

bool LogHas(CSimulatedPrinter& sim, const QString& text)
{
    for (const SimLogEntry& entry : sim.Printer().CommandLog()) {
        if (entry.text.contains(text))
            return true;
    }
    return false;
}

// The printer's log lines wake no WaitFor, so they are polled.
bool WaitForLog(CSimulatedPrinter& sim, const QString& text)
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (!LogHas(sim, text)) {
        if (elapsed.elapsed() > 5000)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

class UploadDlgTest : public ::testing::Test {
protected:
    // Shows the dialog and records every move of its progress bar.
    void Open(CUploadDlg& dialog)
    {
        dialog.show();
        QObject::connect(Control<QProgressBar>(dialog, IDC_UPLOAD_PROGRESS), &QProgressBar::valueChanged, &dialog,
                         [this, &dialog](int value) {
                             m_steps.push_back({value, Control<QLabel>(dialog, IDC_UPLOAD_STATUS)->text(),
                                                ButtonStates(dialog)});
                         });
    }

    static QString Status(const CUploadDlg& dialog) { return Control<QLabel>(dialog, IDC_UPLOAD_STATUS)->text(); }
    static QProgressBar* Progress(const CUploadDlg& dialog)
    {
        return Control<QProgressBar>(dialog, IDC_UPLOAD_PROGRESS);
    }

    // Starts a download and runs it to its end.
    void Download(CUploadDlg& dialog)
    {
        Click(dialog, IDC_UPLOAD_START);
        ASSERT_TRUE(RunUntil([&] { return !dialog.IsSending(); })) << "the download never ended";
    }

    CTestDir m_dir;
    CVirtualClock m_clock;
    CMessageRecorder m_messages;
    std::vector<Step> m_steps;
};

// --- downloads -------------------------------------------------------------

TEST_F(UploadDlgTest, SingleColourDownloadStoresEveryLogoWithItsPacing)
{
    CSimulatedPrinter sim(PrinterKind::Mono);
    const DownloadList items = ConvertLogos(PrinterKind::Mono, {WriteTestLogo(m_dir, "a.bmp", 40, 16),
                                                              WriteTestLogo(m_dir, "b.bmp", 24, 9),
                                                              WriteTestLogo(m_dir, "c.bmp", 8, 8)});
    ASSERT_EQ(items.size(), 3u);
    CUploadDlg dialog(nullptr, PrinterKind::Mono, sim.Ethernet(), "TX-100 Image download dialog", items);
    Open(dialog);
    EXPECT_EQ(dialog.windowTitle(), "TX-100 Image download dialog");
    EXPECT_EQ(Status(dialog), "Ready downloading.");
    EXPECT_EQ(ButtonStates(dialog), "111");

    Click(dialog, IDC_UPLOAD_START);
    // The start command is out and the printer is given its 6 s; the first
    // item waits for the timer.
    EXPECT_TRUE(dialog.IsSending());
    EXPECT_EQ(ButtonStates(dialog), "000");
    EXPECT_EQ(Progress(dialog)->maximum(), 30);
    EXPECT_EQ(Progress(dialog)->value(), 0);
    EXPECT_EQ(m_clock.Sleeps(), std::vector<int>{6000});
    ASSERT_TRUE(RunUntil([&] { return !dialog.IsSending(); }));

    EXPECT_EQ(m_steps, (std::vector<Step>{{10, "Downloding... a.bmp ( 1 / 3 ) ", "000"},
                                          {20, "Downloding... b.bmp ( 2 / 3 ) ", "000"},
                                          {30, "Downloding... c.bmp ( 3 / 3 ) ", "000"}}));
    EXPECT_EQ(m_clock.Sleeps(), std::vector<int>{6000});
    EXPECT_EQ(m_clock.Timers(), (std::vector<int>{1000, 100, 100, 100}));
    EXPECT_EQ(m_messages.Texts(), QStringList{"Download Completed!"});
    EXPECT_EQ(m_messages.Requests()[0].icon, MessageIcon::None);
    EXPECT_EQ(ButtonStates(dialog), "111");
    EXPECT_EQ(Status(dialog), "Downloding... c.bmp ( 3 / 3 ) ");
    EXPECT_TRUE(WaitForLog(sim, "connection ended")) << "the dialog kept the connection open";

    ASSERT_TRUE(sim.WaitForImages(3));
    const std::vector<SimStoredImage> stored = sim.Printer().StoredImages();
    const int widths[] = {40, 24, 8};
    const int heights[] = {16, 9, 8};
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(items[i].name.toStdString());
        EXPECT_EQ(stored[i].dots, DecodeMonoRecord(items[i].data).value_or(CDotGrid()));
        EXPECT_EQ(stored[i].dots.Width(), widths[i]);
        EXPECT_EQ(stored[i].dots.Height(), (heights[i] + 7) / 8 * 8);  // records are whole bytes high
        EXPECT_EQ(stored[i].dots.Count(CDotGrid::Black), TestLogoBlackDots(widths[i], heights[i]));
    }
}

TEST_F(UploadDlgTest, DotModeDownloadOverTheSerialLineSendsTheLengthTableFirst)
{
    CSimulatedPrinter sim(PrinterKind::DotMode, {}, true);
    ASSERT_FALSE(sim.Printer().PtyPath().isEmpty()) << "the virtual printer has no pseudo-terminal";
    // A % in a file name is shown as it is, not read as a format.
    const DownloadList items = ConvertLogos(PrinterKind::DotMode, {WriteTestLogo(m_dir, "a.bmp", 30, 20),
                                                                 WriteTestLogo(m_dir, "100%d %s.bmp", 12, 40)});
    ASSERT_EQ(items.size(), 3u);
    ASSERT_EQ(items[0].size(), 4);
    CUploadDlg dialog(nullptr, PrinterKind::DotMode, sim.Serial(), "DX-300 Image download dialog", items);
    Open(dialog);
    Download(dialog);

    EXPECT_EQ(m_steps, (std::vector<Step>{{10, "Downloding... HeadCommnad ( 1 / 3 ) ", "000"},
                                          {20, "Downloding... a.bmp ( 2 / 3 ) ", "000"},
                                          {30, "Downloding... 100%d %s.bmp ( 3 / 3 ) ", "000"}}));
    EXPECT_EQ(Progress(dialog)->maximum(), 30);
    // Impact printers need no preparation pause.
    EXPECT_EQ(std::count(m_clock.Sleeps().begin(), m_clock.Sleeps().end(), 6000), 0);
    EXPECT_EQ(m_clock.Timers(), (std::vector<int>{1000, 100, 100, 100}));
    EXPECT_EQ(m_messages.Texts(), QStringList{"Download Completed!"});
    EXPECT_EQ(ButtonStates(dialog), "111");

    ASSERT_TRUE(sim.WaitForImages(2));
    const std::vector<SimStoredImage> stored = sim.Printer().StoredImages();
    EXPECT_EQ(stored[0].dots, DecodeDotStream(items[1].data).value_or(CDotGrid()));
    EXPECT_EQ(stored[1].dots, DecodeDotStream(items[2].data).value_or(CDotGrid()));
    EXPECT_EQ(stored[0].dots.Width(), 15);  // single density halves the width
    EXPECT_EQ(stored[1].dots.Width(), 6);
    EXPECT_GT(stored[1].dots.Count(CDotGrid::Red), 0);
}

TEST_F(UploadDlgTest, StartingAgainSendsTheSameBytesOnANewConnection)
{
    CSimulatedPrinter sim(PrinterKind::Mono);
    const DownloadList items = ConvertLogos(PrinterKind::Mono, {WriteTestLogo(m_dir, "a.bmp", 16, 8),
                                                              WriteTestLogo(m_dir, "b.bmp", 32, 24)});
    const qint64 streamBytes = Stream(QByteArray::fromHex("1C7102"), items).size();
    CUploadDlg dialog(nullptr, PrinterKind::Mono, sim.Ethernet(), "TX-100 Image download dialog", items);
    Open(dialog);
    Download(dialog);
    ASSERT_TRUE(sim.Printer().WaitFor([&] { return sim.Printer().Counters().bytesReceived == streamBytes; }, 5000));
    ASSERT_TRUE(sim.WaitForImages(2));
    const std::vector<SimStoredImage> first = sim.Printer().StoredImages();

    Download(dialog);
    EXPECT_TRUE(sim.Printer().WaitFor(
        [&] { return sim.Printer().Counters().bytesReceived == 2 * streamBytes; }, 5000))
        << sim.Printer().Counters().bytesReceived << " of " << 2 * streamBytes;
    EXPECT_EQ(sim.Printer().Counters().connections, 2);
    EXPECT_EQ(sim.Printer().Counters().unknownBytes, 0);
    EXPECT_EQ(m_messages.Texts(), QStringList({"Download Completed!", "Download Completed!"}));
    EXPECT_EQ(m_clock.Sleeps(), (std::vector<int>{6000, 6000}));
    EXPECT_EQ(m_clock.Timers(), (std::vector<int>{1000, 100, 100, 1000, 100, 100}));
    // The second start sets the bar back to 0 of 20 and runs it up again.
    std::vector<int> positions;
    for (const Step& step : m_steps)
        positions.push_back(step.position);
    EXPECT_EQ(positions, (std::vector<int>{10, 20, 0, 10, 20}));
    const std::vector<SimStoredImage> second = sim.Printer().StoredImages();
    ASSERT_EQ(second.size(), 2u);
    EXPECT_EQ(second[0].dots, first[0].dots);
    EXPECT_EQ(second[1].dots, first[1].dots);
}

TEST_F(UploadDlgTest, APortThatCannotOpenLeavesTheDialogReady)
{
    PortSettings settings;
    settings.interfaceKind = InterfaceKind::Usb;
    settings.portName = m_dir.Path("no-printer-here");
    settings.receiveBufferSize = kReceiveBufferUsb;
    const DownloadList items{{"a.bmp", QByteArray::fromHex("01000100FF")}};
    CUploadDlg dialog(nullptr, PrinterKind::Mono, settings, "TX-100 Image download dialog", items);
    Open(dialog);
    Click(dialog, IDC_UPLOAD_START);
    RunFor(50);
    EXPECT_EQ(m_messages.Texts(), QStringList{"Error : Openport failed!"});
    EXPECT_FALSE(dialog.IsSending());
    EXPECT_EQ(ButtonStates(dialog), "111");
    EXPECT_EQ(Progress(dialog)->minimum(), 0);
    EXPECT_EQ(Progress(dialog)->maximum(), 100);
    EXPECT_EQ(Progress(dialog)->value(), 0);
    EXPECT_EQ(Status(dialog), "Ready downloading.");
    EXPECT_TRUE(m_clock.Sleeps().empty());
    EXPECT_TRUE(m_clock.Timers().empty());
    EXPECT_TRUE(m_steps.empty());
}

TEST_F(UploadDlgTest, ClosingMidDownloadIsRefusedAndAProgramEndSaysWhatThePrinterGot)
{
    CSimulatedPrinter sim(PrinterKind::Mono);
    QStringList logos;
    for (const char* name : {"a.bmp", "b.bmp", "c.bmp", "d.bmp", "e.bmp"})
        logos << WriteTestLogo(m_dir, name, 16, 8);
    const DownloadList items = ConvertLogos(PrinterKind::Mono, logos);
    CUploadDlg dialog(nullptr, PrinterKind::Mono, sim.Ethernet(), "TX-100 Image download dialog", items);
    // Modal, as the main window runs it, so the program's end finds it.
    dialog.setWindowModality(Qt::ApplicationModal);
    Open(dialog);
    Click(dialog, IDC_UPLOAD_START);
    ASSERT_TRUE(RunUntil([&] { return Progress(dialog)->value() >= 10; }));
    ASSERT_LT(Progress(dialog)->value(), 50) << "the download ended before it could be interrupted";

    // Escape and the close box are refused like the greyed-out Cancel, and
    // the download goes on after each attempt.
    EXPECT_EQ(ButtonStates(dialog), "000");
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int before = Progress(dialog)->value();
        if (attempt == 0)
            QTest::keyClick(&dialog, Qt::Key_Escape);
        else
            EXPECT_FALSE(dialog.close());
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_TRUE(dialog.IsSending());
        if (before < 40) {
            ASSERT_TRUE(RunUntil([&] { return Progress(dialog)->value() > before; }));
        }
    }
    ASSERT_TRUE(m_messages.Texts().isEmpty()) << m_messages.Texts().join('|').toStdString();

    // The program has to end: the download stops at once, the connection is
    // closed, and the operator learns what the printer got.
    EndProgram();
    const int sent = Progress(dialog)->value() / 10;
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(dialog.IsSending());
    const size_t timers = m_clock.Timers().size();
    RunFor(200);
    EXPECT_EQ(m_clock.Timers().size(), timers) << "the timer went on after the dialog closed";
    ASSERT_EQ(m_messages.Texts().size(), 1);
    EXPECT_TRUE(m_messages.Texts()[0].startsWith(QStringLiteral("The download was stopped: %1 of 5 logos were sent.\r\n"
                                                                "The printer erased its NV memory")
                                                     .arg(sent)))
        << m_messages.Texts()[0].toStdString();
    EXPECT_FALSE(m_messages.Texts()[0].contains("Completed"));

    ASSERT_TRUE(WaitForLog(sim, "connection ended")) << "the connection stayed open";
    DownloadList delivered(items.begin(), items.begin() + sent);
    EXPECT_EQ(sim.Printer().Counters().bytesReceived, Stream(QByteArray::fromHex("1C7105"), delivered).size());
    EXPECT_TRUE(sim.Printer().StoredImages().empty());
}

// A printer that hangs up while it takes the last item: every write went
// out, and between the timer's ticks the socket itself sees the hang-up and
// closes. The dialog reports a failure, never "Download Completed!". The
// ticks run in real time here (the waits stay virtual), so the hang-up
// reaches the socket before the tick that completes the download.
class UploadHangUpTest : public ::testing::TestWithParam<PrinterKind> {
protected:
    class CRealTimerClock final : public CSteppedClock {
    public:
        CRealTimerClock() : m_installed(this) {}
        int TimerIntervalMs(int ms) override { return ms; }

    private:
        CInstalledClock m_installed;
    };

    CTestDir m_dir;
    CRealTimerClock m_clock;
    CMessageRecorder m_messages;
};

TEST_P(UploadHangUpTest, AHangUpDuringTheLastItemIsAFailureNotCompleted)
{
    const PrinterKind kind = GetParam();
    const DownloadList items = ConvertLogos(kind, {WriteTestLogo(m_dir, "a.bmp", 24, 16),
                                                   WriteTestLogo(m_dir, "b.bmp", 32, 24)});
    const qint64 stream = Stream(MakeStartCommand(kind, static_cast<int>(items.size())), items).size();
    SimFaults faults;
    faults.closeAfterBytes = stream - 2;  // the last item's last two bytes never arrive
    CSimulatedPrinter sim(kind, faults);
    CUploadDlg dialog(nullptr, kind, sim.Ethernet(), "Image download dialog", items);
    dialog.show();
    Click(dialog, IDC_UPLOAD_START);
    ASSERT_TRUE(RunUntil([&] { return !dialog.IsSending(); })) << "the download never ended";

    ASSERT_TRUE(WaitForLog(sim, "connection ended"));
    EXPECT_EQ(sim.Printer().Counters().bytesReceived, stream - 2);
    EXPECT_TRUE(sim.Printer().StoredImages().empty());
    ASSERT_EQ(m_messages.Texts().size(), 1) << m_messages.Texts().join('|').toStdString();
    EXPECT_TRUE(m_messages.Texts()[0].startsWith("Error : Write failed!")) << m_messages.Texts()[0].toStdString();
    EXPECT_EQ(ButtonStates(dialog), "111");
}

INSTANTIATE_TEST_SUITE_P(Kinds, UploadHangUpTest, ::testing::Values(PrinterKind::Mono, PrinterKind::DotMode),
                         [](const ::testing::TestParamInfo<PrinterKind>& kind) {
                             return kind.param == PrinterKind::Mono ? std::string("SingleColour")
                                                                    : std::string("DotMode");
                         });

TEST_F(UploadDlgTest, AnItemThatCannotBeWrittenStopsTheDownloadAndLeavesItReady)
{
    // The printer hangs up once it has the start command; the items are far
    // larger than what the system buffers for a closed connection.
    SimFaults faults;
    faults.closeAfterBytes = 3;
    CSimulatedPrinter sim(PrinterKind::Mono, faults);
    const DownloadList items = ConvertLogos(PrinterKind::Mono, {WriteTestLogo(m_dir, "a.bmp", 800, 800),
                                                              WriteTestLogo(m_dir, "b.bmp", 800, 800),
                                                              WriteTestLogo(m_dir, "c.bmp", 800, 800)});
    CUploadDlg dialog(nullptr, PrinterKind::Mono, sim.Ethernet(), "TX-100 Image download dialog", items);
    Open(dialog);
    Click(dialog, IDC_UPLOAD_START);
    ASSERT_TRUE(dialog.IsSending());
    ASSERT_TRUE(WaitForLog(sim, "connection ended"));
    ASSERT_TRUE(RunUntil([&] { return !dialog.IsSending(); }));

    ASSERT_EQ(m_messages.Texts().size(), 1) << m_messages.Texts().join('|').toStdString();
    EXPECT_TRUE(m_messages.Texts()[0].startsWith("Error : Write failed!"));
    EXPECT_TRUE(m_messages.Texts()[0].contains("could not be sent")) << m_messages.Texts()[0].toStdString();
    EXPECT_EQ(ButtonStates(dialog), "111");
    const int sent = Progress(dialog)->value() / 10;
    ASSERT_LT(sent, 3);
    EXPECT_EQ(Status(dialog), QStringLiteral("Downloding... %1 ( %2 / 3 ) ").arg(items[sent].name).arg(sent + 1));
    EXPECT_EQ(m_clock.Timers().size(), static_cast<size_t>(sent + 1)) << "the timer went on after the failure";

    // Ready again: with a well-behaved printer the same dialog completes.
    m_messages.Clear();
    sim.Printer().SetFaults({});
    Download(dialog);
    EXPECT_EQ(m_messages.Texts(), QStringList{"Download Completed!"});
    EXPECT_TRUE(sim.WaitForImages(3));
}

// --- print files -------------------------------------------------------------

TEST_F(UploadDlgTest, SaveFileWritesExactlyTheStreamOverAnOldFile)
{
    BmpSpec black;
    black.width = 9;
    black.height = 1;
    black.pixel = [](int, int) -> std::uint32_t { return win::MakeColorRef(0, 0, 0); };
    ASSERT_TRUE(WriteBmp(m_dir.Path("black.bmp"), black));
    const DownloadList items = ConvertLogos(PrinterKind::Mono, {m_dir.Path("black.bmp")});
    const QString path = m_dir.Path("logos.prn");
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(5000, 'x'));
    }
    CFileDialogScript files;
    files.QueueAnswer({path});
    CUploadDlg dialog(nullptr, PrinterKind::Mono, PortSettings(), "TX-100 Image download dialog", items);
    Open(dialog);
    Click(dialog, IDC_UPLOAD_SAVE_FILE);

    EXPECT_EQ(ReadAll(path).toHex(), "1c7101" "02000100" "808080808080808080" "00000000000000");
    EXPECT_EQ(m_messages.Texts(), QStringList{"Print files Save finished"});
    EXPECT_EQ(m_messages.Requests()[0].icon, MessageIcon::Exclamation);
    ASSERT_EQ(files.Requests().size(), 1u);
    const FileDialogRequest& request = files.Requests()[0];
    EXPECT_EQ(request.mode, FileDialogRequest::Save);
    EXPECT_EQ(request.filter, "Print Files(*.prn)|*.prn||");
    EXPECT_EQ(request.defaultSuffix, "prn");
    EXPECT_TRUE(request.confirmOverwrite);
    EXPECT_EQ(request.parent, nullptr);
    // Saving leaves the dialog as it was.
    EXPECT_EQ(Status(dialog), "Ready downloading.");
    EXPECT_TRUE(m_steps.empty());
    EXPECT_EQ(ButtonStates(dialog), "111");

    // Cancelling the file dialog says nothing and writes nothing.
    m_messages.Clear();
    Click(dialog, IDC_UPLOAD_SAVE_FILE);
    EXPECT_EQ(files.Requests().size(), 2u);
    EXPECT_TRUE(m_messages.Texts().isEmpty());
    EXPECT_EQ(ReadAll(path).size(), 23);
}

TEST_F(UploadDlgTest, SaveFileOfADotModeListCountsTheLogosNotTheLengthTable)
{
    const DownloadList items = ConvertLogos(PrinterKind::DotMode, {WriteTestLogo(m_dir, "a.bmp", 30, 20),
                                                                 WriteTestLogo(m_dir, "b.bmp", 12, 40)});
    CFileDialogScript files;
    files.QueueAnswer({m_dir.Path("dot.prn")});
    CUploadDlg dialog(nullptr, PrinterKind::DotMode, PortSettings(), "DX-300 Image download dialog", items);
    Click(dialog, IDC_UPLOAD_SAVE_FILE);
    EXPECT_EQ(ReadAll(m_dir.Path("dot.prn")), Stream(QByteArray::fromHex("1B670002"), items));
}

TEST_F(UploadDlgTest, SaveFileNameTypedWithoutExtensionEndsInPrn)
{
    // The platform's save dialog, answered by typing a bare name into it.
    const DownloadList items{{"a.bmp", QByteArray::fromHex("01000100FF000000000000000000000000")}};
    CUploadDlg dialog(nullptr, PrinterKind::Mono, PortSettings(), "TX-100 Image download dialog", items);
    Open(dialog);
    bool answered = false;
    std::function<void(int)> answer = [&](int attemptsLeft) {
        auto* files = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!files) {
            if (attemptsLeft > 0)
                QTimer::singleShot(10, [&answer, attemptsLeft] { answer(attemptsLeft - 1); });
            return;
        }
        files->setDirectory(m_dir.Root());
        files->selectFile(QStringLiteral("logo"));
        static_cast<QDialog*>(files)->accept();  // QFileDialog's own accept, as its Save button runs it
        answered = true;
    };
    QTimer::singleShot(0, [&] { answer(200); });
    Click(dialog, IDC_UPLOAD_SAVE_FILE);
    ASSERT_TRUE(answered) << "the platform's save dialog never appeared";
    EXPECT_EQ(m_messages.Texts(), QStringList{"Print files Save finished"});
    EXPECT_EQ(ReadAll(m_dir.Path("logo.prn")), QByteArray::fromHex("1C7101") + items[0].data);
    EXPECT_FALSE(QFile::exists(m_dir.Path("logo")));
}

TEST_F(UploadDlgTest, ASaveIntoAFolderThatCannotBeWrittenIsReported)
{
    const DownloadList items{{"a.bmp", QByteArray::fromHex("01000100FF000000000000000000000000")}};
    const QString folder = m_dir.Path("locked");
    ASSERT_TRUE(QDir().mkpath(folder));
    CFileDialogScript files;
    files.QueueAnswer({folder + "/logos.prn"});
    CUploadDlg dialog(nullptr, PrinterKind::Mono, PortSettings(), "TX-100 Image download dialog", items);
    CReadOnlyFolder readOnly(folder);
    QString whyNot;
    // The handler runs where the folder really is read-only: on a thread
    // without root's override (it shows messages and writes, no widgets).
    ASSERT_TRUE(readOnly.Run([&] { dialog.OnSaveFile(); }, &whyNot)) << whyNot.toStdString();
    ASSERT_EQ(m_messages.Texts().size(), 1);
    EXPECT_TRUE(m_messages.Texts()[0].startsWith("Cannot save the print file")) << m_messages.Texts()[0].toStdString();
    EXPECT_TRUE(m_messages.Texts()[0].contains("logos.prn"));
    EXPECT_FALSE(QFile::exists(folder + "/logos.prn"));
}

}  // namespace
