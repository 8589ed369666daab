#include "main_dlg_test_fixture.h"

#include "app/about_dlg.h"
#include "app/main_dlg_template.h"
#include "framework/widgets/dialog_units.h"

#include <QAction>
#include <QHeaderView>
#include <QPushButton>
#include <QTimer>

class MainDlgStartup : public CMainDlgTest {};

TEST_F(MainDlgStartup, BuildsEveryControlOfTheTemplateWithItsText)
{
    WriteModelFile(DefaultModelFile());
    const auto dlg = OpenWindow();
    struct Expected {
        int id;
        const char* text;
    };
    const Expected captions[] = {
        {IDC_PORT_SETTING, "Port Setting"}, {IDC_OPEN_FILE, "Open File"}, {IDC_REMOVE, "Remove"},
        {IDC_RESET, "Reset"}, {IDC_DOWNLOAD, "Download.."}, {IDC_PRINT, "Print"}, {IDC_EXIT, "EXIT"},
        {IDC_COLOR_RED, "Red"}, {IDC_COLOR_GREEN, "Green"}, {IDC_COLOR_BLUE, "Blue"},
        {IDC_COLOR_NOT_USED, "Not Used"}, {IDC_INVERT, "Color Change Select \n(Invert to L Cartridge )"},
        {IDC_LABEL_PRINTER, "Printer : "}, {IDC_LABEL_DOWNLOAD_MODE, "Download Mode : "},
        {IDC_LABEL_INTERFACE, "Interface :"}, {IDC_LABEL_PORT, "Port :"}, {IDC_LABEL_BAUDRATE, "Baudrate :"},
        {IDC_LABEL_DATABITS, "Databits :"}, {IDC_LABEL_PARITY, "Parity :"}, {IDC_LABEL_STOPBITS, "Stopbits :"},
    };
    for (const Expected& e : captions)
        EXPECT_EQ(Text(*dlg, e.id), e.text) << e.id;
    for (int id : {IDC_PREVIEW, IDC_THRESHOLD_SWATCH, IDC_R_SWATCH, IDC_L_SWATCH, IDC_R_CARTRIDGE_SWATCH,
                   IDC_L_CARTRIDGE_SWATCH, IDC_SUMMARY, IDC_LOGO_LIST, IDC_THRESHOLD_SLIDER, IDC_R_SLIDER, IDC_L_SLIDER})
        EXPECT_NE(FindControl(dlg.get(), id), nullptr) << id;
    for (int id : {IDC_THRESHOLD_VALUE, IDC_R_VALUE, IDC_L_VALUE})
        EXPECT_TRUE(FindControl<QLineEdit>(dlg.get(), id)->isReadOnly()) << id;

    // 500 x 351 dialog units of the template's font; the preview where the
    // template puts it.
    const DialogTemplate layout = MainDlgTemplate();
    const CDialogUnits units(dlg->font());
    EXPECT_EQ(dlg->size(), QSize(units.X(500), units.Y(351)));
    EXPECT_EQ(FindControl(dlg.get(), IDC_PREVIEW)->geometry(), units.Rect(199, 1, 299, 201));
    EXPECT_EQ(layout.caption, "Markograph ver 3.1.1");
    EXPECT_FALSE(dlg->windowIcon().isNull());
}

TEST_F(MainDlgStartup, LogoViewHasThreeCentredColumnsAndMultipleSelection)
{
    WriteModelFile(DefaultModelFile());
    const auto dlg = OpenWindow();
    QTreeWidget* view = LogoView(*dlg);
    ASSERT_EQ(view->columnCount(), 3);
    const QTreeWidgetItem* header = view->headerItem();
    EXPECT_EQ(header->text(0), "   No.");
    EXPECT_EQ(header->text(1), "Name");
    EXPECT_EQ(header->text(2), "Size");
    EXPECT_EQ(view->columnWidth(0), 50);
    EXPECT_EQ(view->columnWidth(1), 140);
    EXPECT_EQ(view->columnWidth(2), 86);
    EXPECT_EQ(view->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_EQ(view->selectionBehavior(), QAbstractItemView::SelectRows);
}

TEST_F(MainDlgStartup, SerialModelShowsCaptionModelAndLineSettings)
{
    WriteModelFile(DefaultModelFile());
    const auto dlg = OpenWindow();
    EXPECT_EQ(dlg->windowTitle(), "Logo Tool Test");
    EXPECT_EQ(Text(*dlg, IDC_MODEL_NAME), "TX-200");
    EXPECT_EQ(Text(*dlg, IDC_DOWNLOAD_MODE), "2 Color thermal");
    EXPECT_EQ(Text(*dlg, IDC_INTERFACE), "Serial");
    EXPECT_EQ(Text(*dlg, IDC_PORT_NAME), "COM2");
    EXPECT_EQ(Text(*dlg, IDC_BAUDRATE), "38400");
    EXPECT_EQ(Text(*dlg, IDC_DATABITS), "7");
    EXPECT_EQ(Text(*dlg, IDC_PARITY), "EVEN");
    EXPECT_EQ(Text(*dlg, IDC_STOPBITS), "2");
    for (int id : {IDC_LABEL_BAUDRATE, IDC_BAUDRATE, IDC_LABEL_DATABITS, IDC_DATABITS, IDC_LABEL_PARITY, IDC_PARITY,
                   IDC_LABEL_STOPBITS, IDC_STOPBITS})
        EXPECT_TRUE(Enabled(*dlg, id)) << id;
    EXPECT_EQ(Text(*dlg, IDC_SUMMARY), "Logo Files : 0 / 50 \nLogo Size Total : 0 / 384 KByte");
    EXPECT_TRUE(m_messages.Texts().isEmpty()) << m_messages.Texts().join(" / ").toStdString();
}

TEST_F(MainDlgStartup, LowerCaseParityReadsAsNone)
{
    WriteModelFileWith("PARITY", "odd");
    const auto dlg = OpenWindow();
    EXPECT_EQ(Text(*dlg, IDC_PARITY), "NONE");
    EXPECT_EQ(dlg->Configuration().port.parity, kParityNone);
}

TEST_F(MainDlgStartup, EthernetShowsAddressAndTcpPort)
{
    WriteModelFile(DefaultModelFile().replace("INTERFACE=0", "INTERFACE=3") +
                   "IP1=192\nIP2=168\nIP3=0\nIP4=10\nPORT=9100\n");
    const auto dlg = OpenWindow();
    EXPECT_EQ(Text(*dlg, IDC_INTERFACE), "Ethernet");
    EXPECT_EQ(Text(*dlg, IDC_LABEL_PORT), "IP :");
    EXPECT_EQ(Text(*dlg, IDC_PORT_NAME), "192.168.0.10");
    EXPECT_EQ(Text(*dlg, IDC_LABEL_BAUDRATE), "Port :");
    EXPECT_EQ(Text(*dlg, IDC_BAUDRATE), "9100");
    EXPECT_TRUE(Enabled(*dlg, IDC_LABEL_BAUDRATE));
    EXPECT_TRUE(Enabled(*dlg, IDC_BAUDRATE));
    for (int id : {IDC_LABEL_DATABITS, IDC_DATABITS, IDC_LABEL_PARITY, IDC_PARITY, IDC_LABEL_STOPBITS, IDC_STOPBITS})
        EXPECT_FALSE(Enabled(*dlg, id)) << id;
    // Serial-only values keep the template's texts.
    EXPECT_EQ(Text(*dlg, IDC_DATABITS), "8");
    EXPECT_EQ(Text(*dlg, IDC_PARITY), "NONE");
    EXPECT_EQ(Text(*dlg, IDC_STOPBITS), "0");
}

TEST_F(MainDlgStartup, ParallelAndUsbGreyTheBaudRateOut)
{
    struct Case {
        const char* interfaceLines;
        const char* interfaceText;
        const char* portText;
    };
    const Case cases[] = {
        {"INTERFACE=1\nPORTNAME=LPT2\n", "Parallel", "LPT2"},
        {"INTERFACE=2\nPORTNAME=USB001:\nUSBPORT=/dev/usb/lp0\n", "USB", "USB001:"},
    };
    for (const Case& c : cases) {
        QString text = DefaultModelFile();
        text.replace("INTERFACE=0\nPORTNAME=COM2\n", c.interfaceLines);
        WriteModelFile(text);
        const auto dlg = OpenWindow();
        EXPECT_EQ(Text(*dlg, IDC_INTERFACE), c.interfaceText);
        EXPECT_EQ(Text(*dlg, IDC_LABEL_PORT), "Port :");
        EXPECT_EQ(Text(*dlg, IDC_PORT_NAME), c.portText);
        EXPECT_EQ(Text(*dlg, IDC_LABEL_BAUDRATE), "Baudrate :");
        EXPECT_FALSE(Enabled(*dlg, IDC_LABEL_BAUDRATE)) << c.interfaceText;
        EXPECT_FALSE(Enabled(*dlg, IDC_BAUDRATE)) << c.interfaceText;
        EXPECT_FALSE(Enabled(*dlg, IDC_PARITY)) << c.interfaceText;
    }
}

TEST_F(MainDlgStartup, ColourControlsFollowTheModelType)
{
    const int colourControls[] = {IDC_COLOR_RED, IDC_COLOR_GREEN, IDC_COLOR_BLUE, IDC_INVERT,
                                  IDC_THRESHOLD_SLIDER, IDC_R_SLIDER, IDC_L_SLIDER};
    {
        WriteModelFileWith("ModelType", "1");
        const auto mono = OpenWindow();
        EXPECT_EQ(Text(*mono, IDC_DOWNLOAD_MODE), "1 Color thermal");
        for (int id : colourControls)
            EXPECT_FALSE(Enabled(*mono, id)) << id;
        EXPECT_TRUE(Enabled(*mono, IDC_COLOR_NOT_USED));
        EXPECT_TRUE(Checked(*mono, IDC_COLOR_NOT_USED));
    }
    {
        // An unknown kind is shown as single-colour but leaves the controls
        // as the window set them up: enabled, Red chosen.
        WriteModelFileWith("ModelType", "5");
        const auto unknown = OpenWindow();
        EXPECT_EQ(Text(*unknown, IDC_DOWNLOAD_MODE), "1 Color thermal");
        for (int id : colourControls)
            EXPECT_TRUE(Enabled(*unknown, id)) << id;
        EXPECT_TRUE(Checked(*unknown, IDC_COLOR_RED));
    }
    {
        WriteModelFileWith("ModelType", "0");
        const auto dot = OpenWindow();
        EXPECT_EQ(Text(*dot, IDC_DOWNLOAD_MODE), "DOT MODE");
        for (int id : colourControls)
            EXPECT_TRUE(Enabled(*dot, id)) << id;
        EXPECT_TRUE(Checked(*dot, IDC_COLOR_RED));
    }
}

TEST_F(MainDlgStartup, MissingModelFileFallsBackAndRefusesEveryLogo)
{
    const auto dlg = OpenWindow();  // no model file written
    EXPECT_EQ(m_messages.Texts(), QStringList{"Failed to load PortNmae"});
    EXPECT_EQ(dlg->windowTitle(), "");
    EXPECT_EQ(Text(*dlg, IDC_DOWNLOAD_MODE), "DOT MODE");
    EXPECT_EQ(Text(*dlg, IDC_INTERFACE), "Serial");
    EXPECT_EQ(Text(*dlg, IDC_PORT_NAME), "COM1");
    EXPECT_EQ(Text(*dlg, IDC_MODEL_NAME), "");
    m_messages.Clear();
    OpenFiles(*dlg, {WriteLogo("a.bmp", 8, 8)});
    EXPECT_EQ(m_messages.Texts(), QStringList{"Don't Read files any more!"});
    EXPECT_TRUE(Rows(*dlg).isEmpty());
    EXPECT_EQ(Text(*dlg, IDC_SUMMARY), "Logo Files : 0 / 0 \nLogo Size Total : 0 / 0 KByte");
}

TEST_F(MainDlgStartup, ExitAndEscapeEndTheWindow)
{
    WriteModelFile(DefaultModelFile());
    {
        const auto dlg = OpenWindow();
        Click(*dlg, IDC_EXIT);
        EXPECT_FALSE(dlg->isVisible());
        EXPECT_EQ(dlg->result(), QDialog::Accepted);
    }
    {
        const auto dlg = OpenWindow();
        QTest::keyClick(dlg.get(), Qt::Key_Escape);
        EXPECT_FALSE(dlg->isVisible());
        EXPECT_EQ(dlg->result(), QDialog::Rejected);
    }
}

TEST_F(MainDlgStartup, AboutItemOpensTheAboutBox)
{
    WriteModelFile(DefaultModelFile());
    const auto dlg = OpenWindow();
    EXPECT_EQ(dlg->contextMenuPolicy(), Qt::ActionsContextMenu);
    ASSERT_EQ(dlg->actions().size(), 1);
    QAction* about = dlg->actions().front();
    EXPECT_EQ(about->text(), "&About MARKO3...");
    EXPECT_EQ(about->data().toInt(), IDM_ABOUTBOX);

    QString shownVersion;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<CAboutDlg*>(QApplication::activeModalWidget());
        if (!box)
            return;
        shownVersion = FindControl<QLabel>(box, IDC_ABOUT_VERSION)->text();
        FindControl<QPushButton>(box, IDC_ABOUT_OK)->click();
    });
    about->trigger();
    EXPECT_EQ(shownVersion, "Version 3.1.1");

    // Other window commands do nothing (no box to close here).
    dlg->OnSysCommand(0xF060);
}

TEST_F(MainDlgStartup, PortSettingReloadsTheFileAfterCancel)
{
    WriteModelFile(DefaultModelFile());
    const auto dlg = OpenWindow();
    // Meanwhile the file changes; the configuration dialog is cancelled.
    WriteModelFile(DefaultModelFile().replace("ModelType=2", "ModelType=1").replace("BAUDRATE=38400", "BAUDRATE=9600"));
    bool cancelled = false;
    QTimer::singleShot(0, [&] {
        if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != dlg.get()) {
            cancelled = true;
            qobject_cast<QDialog*>(modal)->reject();
        }
    });
    Click(*dlg, IDC_PORT_SETTING);
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(Text(*dlg, IDC_DOWNLOAD_MODE), "1 Color thermal");
    EXPECT_EQ(Text(*dlg, IDC_BAUDRATE), "9600");
    EXPECT_FALSE(Enabled(*dlg, IDC_COLOR_RED));
    EXPECT_TRUE(Checked(*dlg, IDC_COLOR_NOT_USED));
}

TEST_F(MainDlgStartup, DownloadAndPrintSayTheyAreNotAvailableYet)
{
    WriteModelFile(DefaultModelFile());
    const auto dlg = OpenWindow();
    Click(*dlg, IDC_DOWNLOAD);
    Click(*dlg, IDC_PRINT);
    EXPECT_EQ(m_messages.Texts(), (QStringList{"Download is not available yet in this build.",
                                               "Print is not available yet in this build."}));
}
