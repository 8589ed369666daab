#include "main_dlg_test_fixture.h"

#include "download/upload_dlg.h"
#include "e2e/e2e_support.h"
#include "framework/widgets/control_ids.h"
#include "support/virtual_clock.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>

// "Download.." from the main window into a virtual printer: the list is
// converted, the upload dialog opens, and what the printer stores is the
// logos of the list.
class MainDlgDownload : public CMainDlgTest {
protected:
    // A single-colour model on Ethernet pointing at the virtual printer.
    void WriteModelFileFor(const PortSettings& printer, int modelType)
    {
        WriteModelFile(QStringLiteral("[COMMON]\nDESCRIPTION=Test\nModelName=TX-100\nModelType=%1\nRECEIPTWIDTH=576\n"
                                      "MEMORYSIZE=384\nDOWNMAX=50\n[PRINTERLIST]\nPRINTER01=TX-100,015,001,576,050,384\n"
                                      "[COMMUNICATION]\nINTERFACE=3\nPORTNAME=Ethernet\nIP1=127\nIP2=0\nIP3=0\nIP4=1\n"
                                      "PORT=%2\n")
                           .arg(modelType)
                           .arg(printer.tcpPort));
    }

    QString ReadModelFileText() const
    {
        QFile file(ModelFile());
        return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : QString();
    }

    // When the upload dialog appears: start the download, wait for it to
    // finish (virtual time runs the timers at once), then close the dialog.
    static void RunUploadWhenItOpens(bool* ran)
    {
        QTimer::singleShot(0, [ran] {
            auto* upload = qobject_cast<CUploadDlg*>(QApplication::activeModalWidget());
            if (!upload)
                return;
            upload->OnDownloadStart();
            for (int i = 0; i < 200 && upload->IsSending(); ++i)
                QApplication::processEvents(QEventLoop::AllEvents, 10);
            *ran = true;
            upload->reject();
        });
    }
};

TEST_F(MainDlgDownload, SingleColourLogosArriveInTheirOrder)
{
    CSimulatedPrinter sim(PrinterKind::Mono);
    WriteModelFileFor(sim.Ethernet(), 1);
    CVirtualClock clock;
    auto dlg = OpenWindow();
    m_files.QueueAnswer({WriteLogo("a.bmp", 16, 8), WriteLogo("b.bmp", 24, 16)});
    Click(*dlg, IDC_OPEN_FILE);
    bool ran = false;
    RunUploadWhenItOpens(&ran);
    Click(*dlg, IDC_DOWNLOAD);
    EXPECT_TRUE(ran);
    EXPECT_TRUE(m_messages.Texts().contains("Download Completed!")) << m_messages.Texts().join('|').toStdString();
    ASSERT_TRUE(sim.WaitForImages(2));
    const std::vector<SimStoredImage> stored = sim.Printer().StoredImages();
    EXPECT_EQ(stored[0].dots.Width(), 16);
    EXPECT_EQ(stored[1].dots.Width(), 24);
    EXPECT_EQ(stored[1].dots.Count(CDotGrid::Black), 24 * 16);
}

// A model change under logos added for another printer: the new model's
// default colour choice holds for what is added next, and a logo wider than
// the new printer's paper is named and nothing is sent.
TEST_F(MainDlgDownload, AModelChangeKeepsItsDefaultColourAndRefusesLogosWiderThanItsPaper)
{
    WriteModelFile(DefaultModelFile());  // two inks, 576 dots
    auto dlg = OpenWindow();
    OpenFiles(*dlg, {WriteLogo("wide.bmp", 384, 8)});
    ClickRow(*dlg, 0);
    Click(*dlg, IDC_COLOR_GREEN);
    ASSERT_EQ(dlg->LogoList().Entries()[0]->colorMode, ColorChoice::Green);

    // Port Setting (cancelled; the window reloads the file) to a single-ink
    // printer with 200 dots of paper.
    CSimulatedPrinter sim(PrinterKind::Mono);
    WriteModelFileFor(sim.Ethernet(), 1);
    WriteModelFile(QString(ReadModelFileText()).replace("RECEIPTWIDTH=576", "RECEIPTWIDTH=200"));
    QTimer::singleShot(0, [&] {
        if (auto* config = qobject_cast<QDialog*>(QApplication::activeModalWidget()); config && config != dlg.get())
            config->reject();
    });
    Click(*dlg, IDC_PORT_SETTING);
    EXPECT_TRUE(Checked(*dlg, IDC_COLOR_NOT_USED));
    EXPECT_FALSE(Checked(*dlg, IDC_COLOR_GREEN));
    EXPECT_FALSE(Enabled(*dlg, IDC_COLOR_GREEN));
    OpenFiles(*dlg, {WriteLogo("narrow.bmp", 100, 8)});
    ASSERT_EQ(dlg->LogoList().Count(), 2);
    EXPECT_EQ(dlg->LogoList().Entries()[1]->colorMode, ColorChoice::NotUsed) << "a logo added now takes Not Used";
    EXPECT_EQ(dlg->LogoList().Entries()[0]->colorMode, ColorChoice::Green) << "the logo on show keeps its own";

    m_messages.Clear();
    QTimer::singleShot(0, [&] {
        if (auto* upload = qobject_cast<QDialog*>(QApplication::activeModalWidget()); upload && upload != dlg.get()) {
            ADD_FAILURE() << "the download went ahead";
            upload->done(QDialog::Rejected);
        }
    });
    CVirtualClock clock;
    Click(*dlg, IDC_DOWNLOAD);
    ASSERT_EQ(m_messages.Texts().size(), 1) << m_messages.Texts().join('|').toStdString();
    EXPECT_TRUE(m_messages.Texts()[0].contains("(200 dots)")) << m_messages.Texts()[0].toStdString();
    EXPECT_TRUE(m_messages.Texts()[0].contains("wide.bmp (384 dots)"));
    EXPECT_FALSE(m_messages.Texts()[0].contains("narrow.bmp"));
    EXPECT_EQ(sim.Printer().Counters().connections, 0);
}
