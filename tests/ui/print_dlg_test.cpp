#include "dialog_test_helpers.h"
#include "print/print_dlg.h"

#include "e2e/e2e_support.h"
#include "framework/widgets/control_ids.h"
#include "framework/widgets/dialog_units.h"
#include "print/print_dlg_ids.h"
#include "support/message_recorder.h"
#include "support/virtual_clock.h"

#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

// The print dialog against a single-colour virtual printer on loopback: what
// the printer carries out is what the dialog sent.

namespace {


// The ids of the checked radio buttons, in the order of the groups.
std::vector<int> Checked(const QWidget& dialog)
{
    std::vector<int> ids;
    for (int id : {IDC_PRINTDLG_SINGLE_HIGH_WIDE, IDC_PRINTDLG_DOUBLE_WIDE, IDC_PRINTDLG_DOUBLE_HIGH,
                   IDC_PRINTDLG_DOUBLE_HIGH_WIDE, IDC_PRINTDLG_NONE_HEADER, IDC_PRINTDLG_ADD_HEADER, IDC_PRINTDLG_ALL,
                   IDC_PRINTDLG_SELECTION}) {
        if (Control<QRadioButton>(dialog, id)->isChecked())
            ids.push_back(id);
    }
    return ids;
}

// Prints with "Selection" and the text typed into the edit.
void PrintSelection(CPrintDlg& dialog, const QString& text)
{
    Click(dialog, IDC_PRINTDLG_SELECTION);
    Control<QLineEdit>(dialog, IDC_PRINTDLG_SELECTION_TEXT)->setText(text);
    Click(dialog, IDC_PRINTDLG_PRINT);
}

class PrintDlgTest : public ::testing::Test {
protected:
    // Waits until the printer has seen this many connections end. Its log
    // lines wake no WaitFor, so they are polled.
    bool WaitForConnectionsEnded(int count)
    {
        QElapsedTimer elapsed;
        elapsed.start();
        for (;;) {
            int ended = 0;
            for (const SimLogEntry& entry : m_sim.Printer().CommandLog())
                ended += entry.text == "connection ended";
            if (ended >= count)
                return true;
            if (elapsed.elapsed() > 5000)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }

    CVirtualClock m_clock;
    CMessageRecorder m_messages;
    CSimulatedPrinter m_sim{PrinterKind::Mono};
};

TEST_F(PrintDlgTest, LaysOutTemplate131AndStartsAtTheFirstChoicesOnEveryOpen)
{
    CPrintDlg dialog(nullptr, m_sim.Ethernet());
    dialog.show();
    const CDialogUnits units(dialog.font());
    EXPECT_EQ(dialog.windowTitle(), "Print");
    EXPECT_EQ(dialog.size(), QSize(units.X(243), units.Y(151)));
    QStringList groups;
    for (const QGroupBox* group : dialog.findChildren<QGroupBox*>())
        groups << group->title();
    groups.sort();
    EXPECT_EQ(groups, QStringList({"Header", "Printing Range", "Quality"}));
    const std::pair<int, const char*> captions[] = {
        {IDC_PRINTDLG_SINGLE_HIGH_WIDE, "Single &HighWide"}, {IDC_PRINTDLG_DOUBLE_WIDE, "Double Wide"},
        {IDC_PRINTDLG_DOUBLE_HIGH, "Double High"},           {IDC_PRINTDLG_DOUBLE_HIGH_WIDE, "Double HighWide"},
        {IDC_PRINTDLG_NONE_HEADER, "None Header"},           {IDC_PRINTDLG_ADD_HEADER, "Add Header"},
        {IDC_PRINTDLG_ALL, "All"},                           {IDC_PRINTDLG_SELECTION, "Selection"},
        {IDC_PRINTDLG_PRINT, "&Print"},                      {IDC_PRINTDLG_EXIT, "E&xit"},
    };
    for (const auto& [id, caption] : captions)
        EXPECT_EQ(Control<QAbstractButton>(dialog, id)->text(), caption) << id;
    EXPECT_TRUE(Control<QPushButton>(dialog, IDC_PRINTDLG_EXIT)->isDefault());
    bool sample = false;
    for (const QLabel* label : dialog.findChildren<QLabel*>())
        sample = sample || label->text() == "Sample) 1-2   3,4,5...  7";
    EXPECT_TRUE(sample);
    EXPECT_EQ(Checked(dialog), (std::vector<int>{IDC_PRINTDLG_SINGLE_HIGH_WIDE, IDC_PRINTDLG_NONE_HEADER,
                                                 IDC_PRINTDLG_ALL}));

    // "Selection" hands the input focus to the edit.
    Click(dialog, IDC_PRINTDLG_DOUBLE_HIGH);
    Click(dialog, IDC_PRINTDLG_ADD_HEADER);
    Click(dialog, IDC_PRINTDLG_SELECTION);
    EXPECT_EQ(dialog.focusWidget(), Control(dialog, IDC_PRINTDLG_SELECTION_TEXT));
    EXPECT_EQ(Checked(dialog), (std::vector<int>{IDC_PRINTDLG_DOUBLE_HIGH, IDC_PRINTDLG_ADD_HEADER,
                                                 IDC_PRINTDLG_SELECTION}));

    Click(dialog, IDC_PRINTDLG_EXIT);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    dialog.show();
    EXPECT_EQ(Checked(dialog), (std::vector<int>{IDC_PRINTDLG_SINGLE_HIGH_WIDE, IDC_PRINTDLG_NONE_HEADER,
                                                 IDC_PRINTDLG_ALL}));
    EXPECT_TRUE(m_messages.Texts().isEmpty());
}

TEST_F(PrintDlgTest, AllPrintsEveryNumberFromOneTo255)
{
    CPrintDlg dialog(nullptr, m_sim.Ethernet());
    dialog.show();
    Click(dialog, IDC_PRINTDLG_PRINT);
    ASSERT_TRUE(m_sim.WaitForPrints(255));
    ASSERT_TRUE(WaitForConnectionsEnded(1)) << "the connection stayed open";
    const std::vector<SimPrint> prints = m_sim.Printer().Prints();
    ASSERT_EQ(prints.size(), 255u);
    for (int n = 1; n <= 255; ++n) {
        const SimPrint& print = prints[static_cast<size_t>(n - 1)];
        ASSERT_EQ(print.key, n);
        ASSERT_EQ(print.mode, 0);
        ASSERT_TRUE(print.header.isEmpty());
    }
    EXPECT_EQ(m_sim.Printer().Counters().bytesReceived, 255 * 4);
    EXPECT_TRUE(m_messages.Texts().isEmpty());
    EXPECT_TRUE(dialog.isVisible());  // the dialog stays open for more
}

TEST_F(PrintDlgTest, SelectionWithHeadersPrintsEachNumberAfterItsHeader)
{
    CPrintDlg dialog(nullptr, m_sim.Ethernet());
    dialog.show();
    Click(dialog, IDC_PRINTDLG_DOUBLE_HIGH_WIDE);
    Click(dialog, IDC_PRINTDLG_ADD_HEADER);
    PrintSelection(dialog, "1-3-5");
    ASSERT_TRUE(m_sim.WaitForPrints(5));
    std::vector<SimPrint> prints = m_sim.Printer().Prints();
    ASSERT_EQ(prints.size(), 5u);
    for (int n = 1; n <= 5; ++n) {
        const SimPrint& print = prints[static_cast<size_t>(n - 1)];
        EXPECT_EQ(print.key, n);
        EXPECT_EQ(print.mode, 3);
        EXPECT_EQ(print.header, QStringLiteral("----- Logo : %1 -----").arg(n));
    }
    EXPECT_EQ(m_sim.Printer().Counters().bytesReceived, 5 * (30 + 4));

    // Repeats are printed again; a number above 255 goes out as its low byte
    // while its header names it whole.
    PrintSelection(dialog, "3,3,300");
    ASSERT_TRUE(m_sim.WaitForPrints(8));
    prints = m_sim.Printer().Prints();
    EXPECT_EQ(prints[5].key, 3);
    EXPECT_EQ(prints[6].key, 3);
    EXPECT_EQ(prints[7].key, 300 % 256);
    EXPECT_EQ(prints[7].header, "----- Logo : 300 -----");

    // A falling range opens and closes the connection, sends nothing and says nothing.
    PrintSelection(dialog, "5-3");
    ASSERT_TRUE(WaitForConnectionsEnded(3));
    EXPECT_EQ(m_sim.Printer().Counters().connections, 3);
    EXPECT_EQ(m_sim.Printer().Prints().size(), 8u);
    EXPECT_EQ(m_sim.Printer().Counters().bytesReceived, 8 * (30 + 4));
    EXPECT_TRUE(m_messages.Texts().isEmpty()) << m_messages.Texts().join('|').toStdString();
}

TEST_F(PrintDlgTest, SelectionMistakesAreToldAndNothingIsSent)
{
    CPrintDlg dialog(nullptr, m_sim.Ethernet());
    dialog.show();
    const std::pair<const char*, const char*> cases[] = {
        {"", "Select Image Number Please!"},
        {"12a", "Selection Format Error!"},
        {"1-2 3", "Selection Format Error!"},
        {"1234", "Selection Format Error!"},
        {"-3", "Selection Format Error!"},        // a range without its first number
        {"1-255,1", "Selection Format Error!"},   // more numbers than one selection may print
    };
    int attempts = 0;
    for (const auto& [text, message] : cases) {
        SCOPED_TRACE(text);
        m_messages.Clear();
        PrintSelection(dialog, QString::fromLatin1(text));
        EXPECT_EQ(m_messages.Texts(), QStringList{QString::fromLatin1(message)});
        ASSERT_TRUE(WaitForConnectionsEnded(++attempts)) << "the connection stayed open";
    }
    EXPECT_EQ(m_sim.Printer().Counters().bytesReceived, 0);
    EXPECT_TRUE(m_sim.Printer().Prints().empty());
}

TEST_F(PrintDlgTest, AnUnreachablePrinterShowsTheConnectMessage)
{
    PortSettings unreachable;
    {
        CSimulatedPrinter stopped(PrinterKind::Mono);
        unreachable = stopped.Ethernet();
    }
    CPrintDlg dialog(nullptr, unreachable);
    dialog.show();
    Click(dialog, IDC_PRINTDLG_PRINT);
    EXPECT_EQ(m_messages.Texts(), QStringList{"Error : Failed to connected \r\nPlease, check IP port configuration "
                                              "in printer control pannel \"PORT\""});
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(PrintDlgTest, APortThatCannotOpenIsTold)
{
    PortSettings settings;
    settings.interfaceKind = InterfaceKind::Parallel;
    settings.portName = QStringLiteral("/nonexistent/markograph-printer");
    CPrintDlg dialog(nullptr, settings);
    dialog.show();
    Click(dialog, IDC_PRINTDLG_PRINT);
    EXPECT_EQ(m_messages.Texts(), QStringList{"Error : Openport failed!"});
}

}  // namespace
