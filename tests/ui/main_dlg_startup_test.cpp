#include "main_dlg_test_fixture.h"

#include "app/about_dlg.h"
#include "framework/widgets/dialog_units.h"

#include <QAction>
#include <QPushButton>
#include <QTimer>

#include <sys/stat.h>

class MainDlgStartup : public CMainDlgTest {};

TEST_F(MainDlgStartup, BuildsTheTemplateWithItsTextsAndTheLogoColumns)
{
    WriteModelFile(DefaultModelFile());
    const auto dlg = OpenWindow();
    const std::pair<int, const char*> captions[] = {
        {IDC_PORT_SETTING, "Port Setting"}, {IDC_OPEN_FILE, "Open File"}, {IDC_REMOVE, "Remove"},
        {IDC_RESET, "Reset"}, {IDC_DOWNLOAD, "Download.."}, {IDC_PRINT, "Print"}, {IDC_EXIT, "EXIT"},
        {IDC_COLOR_RED, "Red"}, {IDC_COLOR_GREEN, "Green"}, {IDC_COLOR_BLUE, "Blue"},
        {IDC_COLOR_NOT_USED, "Not Used"}, {IDC_INVERT, "Color Change Select \n(Invert to L Cartridge )"},
        {IDC_LABEL_PRINTER, "Printer : "}, {IDC_LABEL_DOWNLOAD_MODE, "Download Mode : "},
        {IDC_LABEL_INTERFACE, "Interface :"}, {IDC_LABEL_DATABITS, "Databits :"}, {IDC_LABEL_PARITY, "Parity :"},
        {IDC_LABEL_STOPBITS, "Stopbits :"}};
    for (const auto& [id, text] : captions)
        EXPECT_EQ(Text(*dlg, id), text) << id;
    for (int id : {IDC_THRESHOLD_VALUE, IDC_R_VALUE, IDC_L_VALUE})
        EXPECT_TRUE(FindControl<QLineEdit>(dlg.get(), id)->isReadOnly()) << id;
    const CDialogUnits units(dlg->font());
    EXPECT_EQ(dlg->size(), QSize(units.X(500), units.Y(351)));
    EXPECT_EQ(FindControl(dlg.get(), IDC_PREVIEW)->geometry(), units.Rect(199, 1, 299, 201));
    EXPECT_FALSE(dlg->windowIcon().isNull());

    const QTreeWidget* view = LogoView(*dlg);
    ASSERT_EQ(view->columnCount(), 3);
    EXPECT_EQ(view->headerItem()->text(0), "   No.");
    EXPECT_EQ(view->headerItem()->text(1), "Name");
    EXPECT_EQ(view->headerItem()->text(2), "Size");
    EXPECT_EQ(view->columnWidth(0), 50);
    EXPECT_EQ(view->columnWidth(1), 140);
    EXPECT_EQ(view->columnWidth(2), 86);
    EXPECT_EQ(view->selectionMode(), QAbstractItemView::ExtendedSelection);
}

TEST_F(MainDlgStartup, SerialModelShowsItsLineAndLowerCaseParityReadsAsNone)
{
    WriteModelFileWith("PARITY", "odd");
    const auto dlg = OpenWindow();
    EXPECT_EQ(dlg->windowTitle(), "Logo Tool Test");
    const std::pair<int, const char*> values[] = {
        {IDC_MODEL_NAME, "TX-200"}, {IDC_DOWNLOAD_MODE, "2 Color thermal"}, {IDC_INTERFACE, "Serial"},
        {IDC_LABEL_PORT, "Port :"}, {IDC_PORT_NAME, "COM2"}, {IDC_LABEL_BAUDRATE, "Baudrate :"},
        {IDC_BAUDRATE, "38400"}, {IDC_DATABITS, "7"}, {IDC_PARITY, "NONE"}, {IDC_STOPBITS, "2"},
        {IDC_SUMMARY, "Logo Files : 0 / 50 \nLogo Size Total : 0 / 384 KByte"}};
    for (const auto& [id, text] : values)
        EXPECT_EQ(Text(*dlg, id), text) << id;
    for (int id : {IDC_BAUDRATE, IDC_DATABITS, IDC_PARITY, IDC_STOPBITS})
        EXPECT_TRUE(Enabled(*dlg, id)) << id;
    EXPECT_TRUE(m_messages.Texts().isEmpty()) << m_messages.Texts().join(" / ").toStdString();
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
    EXPECT_TRUE(Enabled(*dlg, IDC_BAUDRATE));
    for (int id : {IDC_LABEL_DATABITS, IDC_DATABITS, IDC_PARITY, IDC_STOPBITS})
        EXPECT_FALSE(Enabled(*dlg, id)) << id;
    EXPECT_EQ(Text(*dlg, IDC_DATABITS), "8");  // the template's text
}

TEST_F(MainDlgStartup, UsbShowsThePortNameOfTheFileAndGreysTheBaudRate)
{
    WriteModelFile(DefaultModelFile().replace("INTERFACE=0\nPORTNAME=COM2",
                                              "INTERFACE=2\nPORTNAME=USB001:\nUSBPORT=/dev/usb/lp0"));
    const auto dlg = OpenWindow();
    EXPECT_EQ(Text(*dlg, IDC_INTERFACE), "USB");
    EXPECT_EQ(Text(*dlg, IDC_PORT_NAME), "USB001:");
    EXPECT_EQ(dlg->Configuration().port.portName, "/dev/usb/lp0");
    EXPECT_FALSE(Enabled(*dlg, IDC_LABEL_BAUDRATE));
    EXPECT_FALSE(Enabled(*dlg, IDC_BAUDRATE));
}

TEST_F(MainDlgStartup, ColourControlsFollowTheModelType)
{
    const int colourControls[] = {IDC_COLOR_RED, IDC_COLOR_GREEN, IDC_COLOR_BLUE, IDC_INVERT,
                                  IDC_THRESHOLD_SLIDER, IDC_R_SLIDER, IDC_L_SLIDER};
    WriteModelFileWith("ModelType", "1");
    const auto mono = OpenWindow();
    EXPECT_EQ(Text(*mono, IDC_DOWNLOAD_MODE), "1 Color thermal");
    for (int id : colourControls)
        EXPECT_FALSE(Enabled(*mono, id)) << id;
    EXPECT_TRUE(Enabled(*mono, IDC_COLOR_NOT_USED));
    EXPECT_TRUE(Checked(*mono, IDC_COLOR_NOT_USED));

    Click(*mono, IDC_EXIT);  // one window at a time on a logo store

    // An unknown kind reads as single-colour but leaves the controls as set up.
    WriteModelFileWith("ModelType", "5");
    const auto unknown = OpenWindow();
    EXPECT_EQ(Text(*unknown, IDC_DOWNLOAD_MODE), "1 Color thermal");
    for (int id : colourControls)
        EXPECT_TRUE(Enabled(*unknown, id)) << id;
    EXPECT_TRUE(Checked(*unknown, IDC_COLOR_RED));
}

TEST_F(MainDlgStartup, MissingModelFileFallsBackAndRefusesEveryLogo)
{
    const auto dlg = OpenWindow();
    EXPECT_EQ(m_messages.Texts(), QStringList{"Failed to load PortNmae"});
    EXPECT_EQ(dlg->windowTitle(), "");
    EXPECT_EQ(Text(*dlg, IDC_DOWNLOAD_MODE), "DOT MODE");
    EXPECT_TRUE(Checked(*dlg, IDC_COLOR_RED));
    EXPECT_EQ(Text(*dlg, IDC_PORT_NAME), "COM1");
    m_messages.Clear();
    OpenFiles(*dlg, {WriteLogo("a.bmp", 8, 8)});
    EXPECT_EQ(m_messages.Texts(), QStringList{"Don't Read files any more!"});
    EXPECT_EQ(Text(*dlg, IDC_SUMMARY), "Logo Files : 0 / 0 \nLogo Size Total : 0 / 0 KByte");
}

TEST_F(MainDlgStartup, AModelFileThatIsAFifoIsRefusedAtOnceWithItsPath)
{
    ASSERT_EQ(::mkfifo(QFile::encodeName(ModelFile()).constData(), 0600), 0);
    const auto dlg = OpenWindow();  // would wait for a writer if the FIFO were opened for reading
    ASSERT_EQ(m_messages.Texts().size(), 2);
    EXPECT_EQ(m_messages.Texts()[0],
              "The model file cannot be read:\ncannot read " + ModelFile() + ": it is a FIFO, not a regular file");
    EXPECT_EQ(m_messages.Texts()[1], "Failed to load PortNmae");
}

TEST_F(MainDlgStartup, ExitAndEscapeEndTheWindow)
{
    WriteModelFile(DefaultModelFile());
    const auto exited = OpenWindow();
    Click(*exited, IDC_EXIT);
    EXPECT_FALSE(exited->isVisible());
    EXPECT_EQ(exited->result(), QDialog::Accepted);
    const auto escaped = OpenWindow();
    QTest::keyClick(escaped.get(), Qt::Key_Escape);
    EXPECT_FALSE(escaped->isVisible());
}

TEST_F(MainDlgStartup, AboutItemOfTheContextMenuOpensTheAboutBox)
{
    WriteModelFile(DefaultModelFile());
    const auto dlg = OpenWindow();
    EXPECT_EQ(dlg->contextMenuPolicy(), Qt::ActionsContextMenu);
    // "Compose Logo..." comes first, About last.
    ASSERT_EQ(dlg->actions().size(), 2);
    QAction* about = dlg->actions().back();
    EXPECT_EQ(about->text(), "&About MARKO3...");
    EXPECT_EQ(about->data().toInt(), IDM_ABOUTBOX);
    QString version;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<CAboutDlg*>(QApplication::activeModalWidget())) {
            version = FindControl<QLabel>(box, IDC_ABOUT_VERSION)->text();
            FindControl<QPushButton>(box, IDC_ABOUT_OK)->click();
        }
    });
    about->trigger();
    EXPECT_EQ(version, "Version 3.1.1");
}

TEST_F(MainDlgStartup, PortSettingReloadsTheFileEvenAfterCancel)
{
    WriteModelFile(DefaultModelFile());
    const auto dlg = OpenWindow();
    WriteModelFile(DefaultModelFile().replace("ModelType=2", "ModelType=1").replace("BAUDRATE=38400", "BAUDRATE=9600"));
    bool cancelled = false;
    QTimer::singleShot(0, [&] {
        if (auto* config = qobject_cast<QDialog*>(QApplication::activeModalWidget()); config && config != dlg.get()) {
            cancelled = true;
            config->reject();
        }
    });
    Click(*dlg, IDC_PORT_SETTING);
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(Text(*dlg, IDC_DOWNLOAD_MODE), "1 Color thermal");
    EXPECT_EQ(Text(*dlg, IDC_BAUDRATE), "9600");
    EXPECT_FALSE(Enabled(*dlg, IDC_COLOR_RED));
    EXPECT_TRUE(Checked(*dlg, IDC_COLOR_NOT_USED));
}

TEST_F(MainDlgStartup, DownloadRefusesAnEmptyListAndUnknownKinds)
{
    WriteModelFile(DefaultModelFile());
    auto dlg = OpenWindow();
    Click(*dlg, IDC_DOWNLOAD);
    EXPECT_EQ(m_messages.Texts(), QStringList({"Without a bitmap file being selected."}));
    ASSERT_EQ(m_messages.Requests().size(), 1u);
    EXPECT_EQ(m_messages.Requests()[0].icon, MessageIcon::Exclamation);

    m_messages.Clear();
    dlg.reset();
    WriteModelFileWith("ModelType", "5");
    dlg = OpenWindow();
    Click(*dlg, IDC_DOWNLOAD);
    Click(*dlg, IDC_PRINT);  // nothing to print for an unknown kind
    EXPECT_EQ(m_messages.Texts(), QStringList({"Not Support Printer"}));
}
