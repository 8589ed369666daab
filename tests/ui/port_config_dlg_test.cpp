#include "dialog_test_helpers.h"
#include "config/port_config_dlg.h"

#include "config/config_test_files.h"
#include "config/port_config_ids.h"
#include "config/port_settings.h"
#include "framework/widgets/control_ids.h"
#include "framework/widgets/dialog_units.h"
#include "framework/widgets/ip_address_ctrl.h"
#include "support/file_size_limit.h"
#include "support/message_recorder.h"
#include "support/temp_dir.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

QByteArray ModelFile(const QByteArray& modelName, const QByteArray& communication, const QByteArray& more = {})
{
    return "; kept: a comment\r\n"
           "[COMMON]\n"
           "DESCRIPTION=Counter Setup 2.0\n"
           "ModelName=" + modelName + "\n"
           "ModelType=2\n"
           "RECEIPTWIDTH=576\n"
           "MEMORYSIZE=384\n"
           "DOWNMAX=30\n"
           "\n"
           "[PRINTERLIST]\n"
           "PRINTER01=TX-100,015,001,512,050,256\n"
           "PRINTER02=QX-58M,005,001,384,020,128\n"
           "PRINTER03=DX-300,003,000,200,010,064\n"
           "\n"
           "[COMMUNICATION]\n" + communication + more;
}

const QByteArray kSavedSerial = "INTERFACE=0\nPORTNAME=COM1\nBAUDRATE=9600\nPARITY=NONE\nDATABITS=8\nSTOPBITS=0\n";

QComboBox* Combo(const QDialog& dialog, int id) { return Control<QComboBox>(dialog, id); }

// What a combo box holds: its entries and its choice ("entries > choice").
std::string Holds(const QDialog& dialog, int id)
{
    const QComboBox* combo = Combo(dialog, id);
    QStringList entries;
    for (int i = 0; i < combo->count(); ++i)
        entries.append(combo->itemText(i));
    return (entries.join(u',') + " > " + combo->currentText()).toStdString();
}

// The step-3 controls that are not hidden, in id order.
std::string Shown(const QDialog& dialog)
{
    QStringList ids;
    for (int id = IDC_CONFIG_BAUDRATE; id <= IDC_CONFIG_PORT; ++id) {
        if (const QWidget* control = FindControl(&dialog, id); control && !control->isHidden())
            ids.append(QString::number(id));
    }
    return ids.join(u' ').toStdString();
}

std::string Labels(const QDialog& dialog)
{
    return (Control<QLabel>(dialog, IDC_CONFIG_PORT_LABEL)->text() + " | " +
            Control<QLabel>(dialog, IDC_CONFIG_BAUDRATE_LABEL)->text())
        .toStdString();
}

// Picks an entry from the list, as the operator does with the mouse.
void Choose(const QDialog& dialog, int id, const QString& text)
{
    QComboBox* combo = Combo(dialog, id);
    const int index = combo->findText(text);
    ASSERT_GE(index, 0) << text.toStdString() << " is not in " << id;
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

void Click(const QDialog& dialog, int id) { Control<QPushButton>(dialog, id)->click(); }

class PortConfigDlgTest : public ::testing::Test {
protected:
    QString FilePath() const { return m_dir.Path(QStringLiteral("NV.inf")); }
    void WriteModelFile(const QByteArray& bytes) { WriteFileBytes(FilePath(), bytes); }
    QByteArray FileBytes() const { return ReadFileBytes(FilePath()); }
    QString DevicePath(int index) const { return m_dir.Path(QStringLiteral("dev/usb/lp%1").arg(index)); }

    // A printer-class USB interface in the fake sysfs tree, as the kernel
    // lays it out: idVendor in the device folder, usbmisc/lpN below its
    // interface with a device link back up, class/usbmisc/lpN linking to it.
    void PlugUsbPrinter(int index, const char* vendor)
    {
        const QString sys = m_dir.Path(QStringLiteral("sys"));
        const QString device = sys + QStringLiteral("/devices/usb1/1-%1").arg(index + 1);
        const QString node = device + QStringLiteral("/1-%1:1.0/usbmisc/lp%2").arg(index + 1).arg(index);
        ASSERT_TRUE(QDir().mkpath(node) && QDir().mkpath(sys + "/class/usbmisc") &&
                    QDir().mkpath(m_dir.Path(QStringLiteral("dev/usb"))));
        WriteFileBytes(device + "/idVendor", QByteArray(vendor) + '\n');
        ASSERT_TRUE(QFile::link(QStringLiteral("../.."), node + "/device"));
        ASSERT_TRUE(QFile::link(node, sys + QStringLiteral("/class/usbmisc/lp%1").arg(index)));
        WriteFileBytes(DevicePath(index), {});
    }

    // Runs the dialog modally; whileOpen drives it and must close it.
    int Run(const std::function<void(CPortConfigDlg&)>& whileOpen)
    {
        CPortConfigDlg dialog(nullptr, FilePath());
        dialog.SetUsbDiscoveryRoots(m_dir.Path(QStringLiteral("sys")), m_dir.Path(QStringLiteral("dev")), nullptr);
        QTimer::singleShot(0, &dialog, [&] {
            EXPECT_TRUE(dialog.isVisible());
            whileOpen(dialog);
            if (dialog.isVisible()) {
                ADD_FAILURE() << "the dialog is still open";
                dialog.done(-1);
            }
        });
        return dialog.exec();
    }

    CTestDir m_dir;
    CMessageRecorder m_messages;
};

TEST_F(PortConfigDlgTest, LaysOutTemplate103)
{
    WriteModelFile(ModelFile("TX-100", kSavedSerial));
    Run([&](CPortConfigDlg& dialog) {
        const CDialogUnits units(dialog.font());
        EXPECT_EQ(dialog.windowTitle(), "Counter Setup 2.0");  // DESCRIPTION replaces the template's caption
        EXPECT_EQ(dialog.size(), QSize(units.X(172), units.Y(189)));
        // The IP control takes its placeholder's place, lined up with the
        // port box it stands in for; a combo box is one line high, not as
        // high as its list; a label is centred on its field's row.
        EXPECT_EQ(Control<CIpAddressCtrl>(dialog, IDC_CONFIG_IP_ADDRESS)->geometry(), units.Rect(51, 87, 93, 12));
        EXPECT_EQ(Control<QLineEdit>(dialog, IDC_CONFIG_TCP_PORT)->geometry(), units.Rect(51, 101, 93, 12));
        const QRect portLabel = Control<QLabel>(dialog, IDC_CONFIG_PORT_LABEL)->geometry();
        EXPECT_EQ(portLabel.center().y(), Combo(dialog, IDC_CONFIG_PORT)->geometry().center().y());
        EXPECT_EQ(portLabel.center().y(), Control(dialog, IDC_CONFIG_IP_ADDRESS)->geometry().center().y());
        EXPECT_EQ(Combo(dialog, IDC_CONFIG_PARITY)->geometry(), units.Rect(51, 143, 93, 12));
        EXPECT_TRUE(Combo(dialog, IDC_CONFIG_PORT)->isEditable());  // a device path can be typed
        EXPECT_TRUE(Control<QLineEdit>(dialog, IDC_CONFIG_TCP_PORT)->alignment().testFlag(Qt::AlignRight));
        QStringList texts;
        for (const QGroupBox* group : dialog.findChildren<QGroupBox*>())
            texts.append(group->title());
        texts.sort();
        for (int id : {IDC_CONFIG_PORT_LABEL, IDC_CONFIG_BAUDRATE_LABEL, IDC_CONFIG_DATABITS_LABEL,
                       IDC_CONFIG_STOPBITS_LABEL, IDC_CONFIG_PARITY_LABEL})
            texts.append(Control<QLabel>(dialog, id)->text());
        texts << Control<QPushButton>(dialog, win::kIdOk)->text() << Control<QPushButton>(dialog, win::kIdCancel)->text();
        EXPECT_EQ(texts.join(u'|').toStdString(),
                  "Step 1. Select Printer Model|Step 2. Select Interface|Step 3. Set Configuration|"
                  "Port :|Baudrate :|DataBits :|StopBits :|ParityBits :|OK|Cancel");
        Click(dialog, win::kIdCancel);
    });
}

TEST_F(PortConfigDlgTest, StartsOnTheSavedInterfaceOfTheCurrentModel)
{
    struct Case {
        const char* what;
        QByteArray model, communication;
        std::string interfaces, shown, labels, port;
        std::string line;  // serial: baud, data bits, stop bits, parity; Ethernet: address and TCP port
    };
    const std::string serialShown = "1002 1003 1004 1005 1007 1008 1009 1010 1013 1014";
    const std::string coms = "COM1,COM2,COM3,COM4,COM5,COM6,COM7,COM8,COM9,COM10,COM11";
    const Case cases[] = {
        {"model offers Serial and USB, USB saved", "QX-58M", "INTERFACE=2\nPORTNAME=USB001:\n", "Serial,USB > USB",
         "1013 1014", "Port : | Baudrate :", "Not Connect Printer > Not Connect Printer", ""},
        {"serial, lower-case parity", "TX-100",
         "INTERFACE=0\nPORTNAME=COM1\nBAUDRATE=9600\nPARITY=odd\nDATABITS=8\nSTOPBITS=0\n",
         "Serial,Parallel,USB,Ethernet > Serial", serialShown, "Port : | Baudrate :", coms + " > COM1", "9600 8 0 "},
        {"parallel", "DX-300", "INTERFACE=1\nPORTNAME=LPT3\n", "Serial,Parallel > Parallel", "1013 1014",
         "Port : | Baudrate :", "LPT1,LPT2,LPT3,LPT4,LPT5 > LPT3", ""},
        {"Ethernet", "TX-100", "INTERFACE=3\nIP1=192\nIP2=168\nIP3=0\nIP4=10\nPORT=9100\n",
         "Serial,Parallel,USB,Ethernet > Ethernet", "1007 1011 1012 1013", "IP : | Port :", " > ",
         "192.168.0.10 9100"},
        {"saved interface not offered", "QX-58M", "INTERFACE=3\nPORT=9100\n", "Serial,USB > ",
         "1007 1011 1012 1013", "IP : | Port :", " > ", "0.0.0.0 9100"},
        {"unknown interface: first offered", "DX-300", "INTERFACE=7\n", "Serial,Parallel > Serial", serialShown,
         "Port : | Baudrate :", coms + " > COM1", "19200 8 0 NONE"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteModelFile(ModelFile(c.model, c.communication));
        Run([&](CPortConfigDlg& dialog) {
            EXPECT_EQ(Combo(dialog, IDC_CONFIG_MODEL)->currentText(), QString::fromLatin1(c.model));
            EXPECT_EQ(Holds(dialog, IDC_CONFIG_INTERFACE), c.interfaces);
            EXPECT_EQ(Shown(dialog), c.shown);
            EXPECT_EQ(Labels(dialog), c.labels);
            EXPECT_EQ(Holds(dialog, IDC_CONFIG_PORT), c.port);
            QString line;
            if (c.shown == serialShown) {
                for (int id : {IDC_CONFIG_BAUDRATE, IDC_CONFIG_DATABITS, IDC_CONFIG_STOPBITS, IDC_CONFIG_PARITY})
                    line += (line.isEmpty() ? "" : " ") + Combo(dialog, id)->currentText();
            } else if (c.labels == "IP : | Port :") {
                line = FormatIpAddress(Control<CIpAddressCtrl>(dialog, IDC_CONFIG_IP_ADDRESS)->Address()) + " " +
                       Control<QLineEdit>(dialog, IDC_CONFIG_TCP_PORT)->text();
            }
            EXPECT_EQ(line.toStdString(), c.line);
            Click(dialog, win::kIdCancel);
        });
    }
}

TEST_F(PortConfigDlgTest, ChangingInterfaceOrModelAppliesTheSavedValuesAndCancelWritesNothing)
{
    WriteModelFile(ModelFile("TX-100", kSavedSerial + "IP1=10\nPORT=9100\n"));
    const QByteArray before = FileBytes();
    EXPECT_EQ(Run([&](CPortConfigDlg& dialog) {
                  Choose(dialog, IDC_CONFIG_INTERFACE, "Parallel");  // the saved COM1 is not among LPTn
                  EXPECT_EQ(Holds(dialog, IDC_CONFIG_PORT), "LPT1,LPT2,LPT3,LPT4,LPT5 > ");
                  EXPECT_EQ(Shown(dialog), "1013 1014");
                  Choose(dialog, IDC_CONFIG_INTERFACE, "Ethernet");  // serial saved: nothing to show
                  EXPECT_EQ(Control<CIpAddressCtrl>(dialog, IDC_CONFIG_IP_ADDRESS)->Address(),
                            (std::array<quint8, 4>{0, 0, 0, 0}));
                  Control<CIpAddressCtrl>(dialog, IDC_CONFIG_IP_ADDRESS)->SetAddress({1, 2, 3, 4});
                  Control<QLineEdit>(dialog, IDC_CONFIG_TCP_PORT)->setText("515");
                  Choose(dialog, IDC_CONFIG_MODEL, "QX-58M");  // first interface, saved values again
                  EXPECT_EQ(Holds(dialog, IDC_CONFIG_INTERFACE), "Serial,USB > Serial");
                  EXPECT_EQ(Combo(dialog, IDC_CONFIG_BAUDRATE)->currentText(), "9600");
                  Choose(dialog, IDC_CONFIG_PORT, "COM4");
                  Click(dialog, win::kIdCancel);
              }),
              QDialog::Rejected);
    EXPECT_EQ(FileBytes(), before);
    EXPECT_TRUE(m_messages.Texts().isEmpty());
}

// A catalogue model that offers no interface reads as Ethernet: its page is
// shown, not the previous model's. Screen readers hear what the labels say
// on every page.
TEST_F(PortConfigDlgTest, AModelWithoutInterfacesShowsTheEthernetPageAndNamesFollowTheLabels)
{
    WriteModelFile(ModelFile("TX-100", kSavedSerial)
                       .replace("PRINTER03=DX-300,003,000,200,010,064\n",
                                "PRINTER03=DX-300,003,000,200,010,064\nPRINTER04=ZX-0,000,001,384,020,128\n"));
    const QByteArray before = FileBytes();
    EXPECT_EQ(Run([&](CPortConfigDlg& dialog) {
                  const auto names = [&] {
                      QStringList spoken;
                      for (int id : {IDC_CONFIG_PORT, IDC_CONFIG_IP_ADDRESS, IDC_CONFIG_BAUDRATE, IDC_CONFIG_TCP_PORT}) {
                          if (const QWidget* control = FindControl(&dialog, id); control && !control->isHidden())
                              spoken << control->accessibleName();
                      }
                      return spoken.join(u',').toStdString();
                  };
                  EXPECT_EQ(Shown(dialog), "1002 1003 1004 1005 1007 1008 1009 1010 1013 1014");
                  EXPECT_EQ(names(), "Port,Baudrate");
                  Choose(dialog, IDC_CONFIG_MODEL, "ZX-0");
                  EXPECT_EQ(Holds(dialog, IDC_CONFIG_INTERFACE), " > ");
                  EXPECT_EQ(Shown(dialog), "1007 1011 1012 1013");
                  EXPECT_EQ(Labels(dialog), "IP : | Port :");
                  EXPECT_EQ(names(), "IP,Port");
                  EXPECT_EQ(Control<CIpAddressCtrl>(dialog, IDC_CONFIG_IP_ADDRESS)->Address(),
                            (std::array<quint8, 4>{0, 0, 0, 0}));
                  EXPECT_EQ(Control<QLineEdit>(dialog, IDC_CONFIG_TCP_PORT)->text(), "0");
                  // Another model selects its first interface and its page.
                  Choose(dialog, IDC_CONFIG_MODEL, "QX-58M");
                  EXPECT_EQ(Holds(dialog, IDC_CONFIG_INTERFACE), "Serial,USB > Serial");
                  EXPECT_EQ(names(), "Port,Baudrate");
                  Click(dialog, win::kIdCancel);
              }),
              QDialog::Rejected);
    EXPECT_EQ(FileBytes(), before);
}

TEST_F(PortConfigDlgTest, RefusesWhatCannotBeWrittenAndKeepsTheDialogOpen)
{
    struct Case {
        QByteArray file;
        const char* interface;  // chosen before OK, or null
        const char* message;
    };
    const Case cases[] = {
        {ModelFile("QX-58M", "INTERFACE=3\n"), nullptr, "Select an interface in Step 2."},  // not offered
        {ModelFile("TX-100", kSavedSerial), "Parallel", "Select a port in Step 3."},        // COM1 is no LPTn
    };
    for (const Case& c : cases) {
        WriteModelFile(c.file);
        m_messages.Clear();
        Run([&](CPortConfigDlg& dialog) {
            if (c.interface)
                Choose(dialog, IDC_CONFIG_INTERFACE, c.interface);
            Click(dialog, win::kIdOk);
            EXPECT_EQ(m_messages.Texts(), QStringList{c.message});
            EXPECT_TRUE(dialog.isVisible());
            Click(dialog, win::kIdCancel);
        });
        EXPECT_EQ(FileBytes(), c.file);
    }

    WriteModelFile(ModelFile("TX-100", "INTERFACE=3\n"));
    Run([&](CPortConfigDlg& dialog) {
        for (const char* port : {"", "0", "65536", "91x", "-5"}) {
            m_messages.Clear();
            Control<QLineEdit>(dialog, IDC_CONFIG_TCP_PORT)->setText(port);
            Click(dialog, win::kIdOk);
            EXPECT_EQ(m_messages.Texts(), QStringList{"Enter a TCP port number from 1 to 65535 in Step 3."}) << port;
        }
        Control<QLineEdit>(dialog, IDC_CONFIG_TCP_PORT)->setText("65535");
        Click(dialog, win::kIdOk);
    });
    EXPECT_TRUE(FileBytes().endsWith("PORT=65535\r\n"));  // added lines end as the first one does

    // The serial line's boxes take only their own entries: typed text that
    // names none is refused (it used to be written to the file as it stood),
    // an entry's text typed exactly is taken.
    WriteModelFile(ModelFile("TX-100", kSavedSerial));
    Run([&](CPortConfigDlg& dialog) {
        m_messages.Clear();
        Combo(dialog, IDC_CONFIG_BAUDRATE)->setEditText("fast");
        Click(dialog, win::kIdOk);
        EXPECT_EQ(m_messages.Texts(), QStringList{"Select a baud rate in Step 3."});
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_FALSE(FileBytes().contains("fast"));
        Combo(dialog, IDC_CONFIG_BAUDRATE)->setEditText("38400");
        Click(dialog, win::kIdOk);
    });
    EXPECT_TRUE(FileBytes().contains("BAUDRATE=38400")) << FileBytes().toStdString();
}

TEST_F(PortConfigDlgTest, EthernetOkWritesTheModelThenTheInterfaceKeysInOrderKeepingEverythingElse)
{
    WriteModelFile(ModelFile("TX-100", "INTERFACE=0\r\nPORTNAME=COM2\n; serial kept\nBAUDRATE=9600\nIP1=1\nIP2=2\n",
                             "\n[USB]\nVENDORIDS=0f0f\n"));
    EXPECT_EQ(Run([&](CPortConfigDlg& dialog) {
                  Choose(dialog, IDC_CONFIG_MODEL, "DX-300");
                  Choose(dialog, IDC_CONFIG_MODEL, "TX-100");
                  Choose(dialog, IDC_CONFIG_INTERFACE, "Ethernet");
                  Control<CIpAddressCtrl>(dialog, IDC_CONFIG_IP_ADDRESS)->SetAddress({192, 168, 0, 10});
                  Control<QLineEdit>(dialog, IDC_CONFIG_TCP_PORT)->setText("9100");
                  Click(dialog, win::kIdOk);
              }),
              QDialog::Accepted);
    EXPECT_EQ(FileBytes(), ModelFile("TX-100", "INTERFACE=3\r\nPORTNAME=Ethernet\n; serial kept\nBAUDRATE=9600\n"
                                               "IP1=192\nIP2=168\nIP3=0\r\nIP4=10\r\nPORT=9100\r\n",
                                     "\n[USB]\nVENDORIDS=0f0f\n")
                               .replace("ModelType=2\nRECEIPTWIDTH=576\nMEMORYSIZE=384\nDOWNMAX=30",
                                        "ModelType=1\nRECEIPTWIDTH=512\nMEMORYSIZE=256\nDOWNMAX=50"));
    EXPECT_TRUE(m_messages.Texts().isEmpty());
}

// The interface box carries each entry's kind; what the entry says does not
// count. With the captions reversed (a translation could say anything), the
// page shown and the INTERFACE written follow the entry chosen.
TEST_F(PortConfigDlgTest, TheInterfaceWrittenIsTheChosenEntrysKindWhateverItsCaption)
{
    struct Case {
        int entry;  // of Serial, Parallel, USB, Ethernet
        std::string shown;
        QByteArray written;
    };
    const Case cases[] = {
        {0, "1002 1003 1004 1005 1007 1008 1009 1010 1013 1014", "INTERFACE=0\nPORTNAME=COM1\n"},
        {1, "1013 1014", "INTERFACE=1\nPORTNAME=LPT2\n"},
        {2, "1013 1014", "INTERFACE=2\nPORTNAME=USB000:\nBAUDRATE"},
        {3, "1007 1011 1012 1013", "INTERFACE=3\nPORTNAME=Ethernet\n"},
    };
    const QStringList reversed = {"Ethernet", "USB", "Parallel", "Serial"};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry);
        WriteModelFile(ModelFile("TX-100", kSavedSerial));
        m_messages.Clear();
        const int result = Run([&](CPortConfigDlg& dialog) {
            QComboBox* interfaces = Combo(dialog, IDC_CONFIG_INTERFACE);
            ASSERT_EQ(interfaces->count(), reversed.size());
            for (int i = 0; i < interfaces->count(); ++i)
                interfaces->setItemText(i, reversed[i]);
            interfaces->setCurrentIndex(c.entry);
            emit interfaces->activated(c.entry);
            EXPECT_EQ(Shown(dialog), c.shown);
            // The saved COM1 is on neither list: the port is chosen.
            if (c.entry == 1)
                Choose(dialog, IDC_CONFIG_PORT, "LPT2");
            if (c.entry == 2)
                Choose(dialog, IDC_CONFIG_PORT, "Not Connect Printer");
            Control<QLineEdit>(dialog, IDC_CONFIG_TCP_PORT)->setText("9100");
            Click(dialog, win::kIdOk);
        });
        EXPECT_EQ(result, QDialog::Accepted);
        EXPECT_TRUE(m_messages.Texts().isEmpty()) << m_messages.Texts().join(u'|').toStdString();
        EXPECT_TRUE(FileBytes().contains(c.written)) << FileBytes().toStdString();
    }
}

TEST_F(PortConfigDlgTest, SerialOkAddsMissingKeysInWriteOrderWithATypedDevicePath)
{
    WriteModelFile("[COMMON]\nModelName=DX-300\n[PRINTERLIST]\nPRINTER01=DX-300,003,000,200,010,064\n");
    Run([&](CPortConfigDlg& dialog) {
        Combo(dialog, IDC_CONFIG_PORT)->setEditText("/dev/ttyUSB0");
        Choose(dialog, IDC_CONFIG_BAUDRATE, "115200");  // nothing saved: no choice yet
        Choose(dialog, IDC_CONFIG_PARITY, "EVEN");
        Choose(dialog, IDC_CONFIG_DATABITS, "8");
        Choose(dialog, IDC_CONFIG_STOPBITS, "0");
        Click(dialog, win::kIdOk);
    });
    EXPECT_EQ(FileBytes(), "[COMMON]\nModelName=DX-300\nModelType=0\nRECEIPTWIDTH=200\nMEMORYSIZE=64\nDOWNMAX=10\n"
                           "[PRINTERLIST]\nPRINTER01=DX-300,003,000,200,010,064\n\n[COMMUNICATION]\nINTERFACE=0\n"
                           "PORTNAME=/dev/ttyUSB0\nBAUDRATE=115200\nPARITY=EVEN\nDATABITS=8\nSTOPBITS=0\n");
}

// A device path typed into the port box comes back when the dialog opens
// again, and OK without a change keeps it (serial and parallel alike).
TEST_F(PortConfigDlgTest, ATypedDevicePathIsShownAgainAndKeptByOk)
{
    struct Case {
        QByteArray communication;
        const char* shown;
    };
    const Case cases[] = {
        {"INTERFACE=0\nPORTNAME=/dev/ttyUSB0\nBAUDRATE=9600\nPARITY=NONE\nDATABITS=8\nSTOPBITS=0\n", "/dev/ttyUSB0"},
        {"INTERFACE=1\nPORTNAME=/dev/usb/lp7\n", "/dev/usb/lp7"},
        {"INTERFACE=0\nPORTNAME=COM3\nBAUDRATE=9600\nPARITY=NONE\nDATABITS=8\nSTOPBITS=0\n", "COM3"},
    };
    for (const Case& c : cases) {
        const QByteArray file = ModelFile("TX-100", c.communication).replace("ModelType=2", "ModelType=1");
        WriteModelFile(file);
        const int result = Run([&](CPortConfigDlg& dialog) {
            EXPECT_EQ(Combo(dialog, IDC_CONFIG_PORT)->currentText().toStdString(), c.shown);
            Click(dialog, win::kIdOk);
        });
        EXPECT_EQ(result, QDialog::Accepted) << c.shown;
        EXPECT_TRUE(m_messages.Texts().isEmpty()) << m_messages.Texts().join(u'|').toStdString();
        EXPECT_TRUE(FileBytes().contains("PORTNAME=" + QByteArray(c.shown) + "\n")) << FileBytes().toStdString();
        m_messages.Clear();
    }
}

TEST_F(PortConfigDlgTest, OfTwoModelsWithOneNameTheLaterIsShownAndTheEarlierSaved)
{
    const QByteArray file = ModelFile("TX-100", "INTERFACE=3\nPORT=9100\n")
                                .replace("PRINTER02=QX-58M,005", "PRINTER02=TX-100,008")
                                .replace("PRINTER01=TX-100,015", "PRINTER01=TX-100,009");
    WriteModelFile(file);
    Run([&](CPortConfigDlg& dialog) {
        EXPECT_EQ(Combo(dialog, IDC_CONFIG_MODEL)->currentIndex(), 1);
        EXPECT_EQ(Holds(dialog, IDC_CONFIG_INTERFACE), "Ethernet > Ethernet");
        QComboBox* models = Combo(dialog, IDC_CONFIG_MODEL);
        models->setCurrentIndex(1);
        emit models->activated(1);  // the later entry picked; its name is found from the front
        EXPECT_EQ(Holds(dialog, IDC_CONFIG_INTERFACE), "Serial,Ethernet > Serial");
        Click(dialog, win::kIdCancel);
    });
    Run([&](CPortConfigDlg& dialog) { Click(dialog, win::kIdOk); });
    EXPECT_TRUE(FileBytes().contains("ModelType=1\nRECEIPTWIDTH=512\nMEMORYSIZE=256\nDOWNMAX=50\n"));
}

TEST_F(PortConfigDlgTest, EndsAsCancelledWhenTheFileNamesNoModelOfItsCatalogue)
{
    for (const QByteArray& file : {ModelFile("tx-100", kSavedSerial), ModelFile("", kSavedSerial),
                                   QByteArray("[COMMON]\nModelName=TX-100\n"), QByteArray()}) {
        WriteModelFile(file);
        m_messages.Clear();
        CPortConfigDlg dialog(nullptr, FilePath());
        EXPECT_EQ(dialog.exec(), QDialog::Rejected) << file.constData();
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(m_messages.Texts(), QStringList{"Error : Loading information file!"});
        EXPECT_EQ(FileBytes(), file);
    }
}

TEST_F(PortConfigDlgTest, AModelNameThatIsNotInTheCatalogueWritesNothing)
{
    WriteModelFile(ModelFile("TX-100", kSavedSerial));
    const QByteArray before = FileBytes();
    EXPECT_EQ(Run([&](CPortConfigDlg& dialog) {
                  Combo(dialog, IDC_CONFIG_MODEL)->setEditText("TX-999");
                  Click(dialog, win::kIdOk);
              }),
              QDialog::Accepted);
    EXPECT_EQ(m_messages.Texts(), QStringList{"Error Code 1111 : Changed Printer Information File!"});
    EXPECT_EQ(FileBytes(), before);
}

TEST_F(PortConfigDlgTest, UsbPageListsThePrintersFoundEachTimeItIsShown)
{
    PlugUsbPrinter(1, "0f0f");
    PlugUsbPrinter(4, "0f0f");
    PlugUsbPrinter(5, "0a0a");  // another maker's printer
    WriteModelFile(ModelFile("TX-100", "INTERFACE=2\n", "[USB]\nVENDORIDS=0F0F\n"));
    Run([&](CPortConfigDlg& dialog) {
        EXPECT_EQ(Holds(dialog, IDC_CONFIG_PORT), "USB001:,USB002: > USB001:");
        PlugUsbPrinter(2, "0f0f");
        Choose(dialog, IDC_CONFIG_INTERFACE, "Serial");
        Choose(dialog, IDC_CONFIG_INTERFACE, "USB");
        EXPECT_EQ(Holds(dialog, IDC_CONFIG_PORT), "USB001:,USB002:,USB003: > USB001:");
        Choose(dialog, IDC_CONFIG_PORT, "USB003:");
        Click(dialog, win::kIdOk);
    });
    EXPECT_TRUE(FileBytes().endsWith("INTERFACE=2\nPORTNAME=USB003:\r\nUSBPORT=" + DevicePath(4).toLocal8Bit() +
                                     "\r\n[USB]\nVENDORIDS=0F0F\n"));

    QFile::remove(DevicePath(1));  // cannot be opened
    QFile::remove(DevicePath(2));
    QFile::remove(DevicePath(4));
    Run([&](CPortConfigDlg& dialog) {
        EXPECT_EQ(Holds(dialog, IDC_CONFIG_PORT), "Not Connect Printer > Not Connect Printer");
        Click(dialog, win::kIdOk);
    });
    EXPECT_TRUE(FileBytes().contains("PORTNAME=USB000:\r\nUSBPORT=NONE\r\n"));
}

TEST_F(PortConfigDlgTest, AFileThatCannotBeWrittenIsReportedAndTheDialogStaysOpen)
{
    WriteModelFile(ModelFile("TX-100", kSavedSerial));
    const QByteArray before = FileBytes();
    ASSERT_TRUE(QFile::setPermissions(FilePath(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    EXPECT_EQ(Run([&](CPortConfigDlg& dialog) {
                  Choose(dialog, IDC_CONFIG_PORT, "COM3");
                  Click(dialog, win::kIdOk);
                  ASSERT_EQ(m_messages.Texts().size(), 1);
                  EXPECT_TRUE(m_messages.Texts()[0].startsWith("The settings could not be saved in " + FilePath()))
                      << m_messages.Texts()[0].toStdString();
                  EXPECT_TRUE(dialog.isVisible());
                  EXPECT_EQ(Combo(dialog, IDC_CONFIG_PORT)->currentText(), "COM3");  // nothing lost
                  Click(dialog, win::kIdCancel);
              }),
              QDialog::Rejected);
    EXPECT_EQ(FileBytes(), before);
}

TEST_F(PortConfigDlgTest, OkThatFailsPartWayLeavesTheWholePreviousFile)
{
    // Every key up to PORTNAME keeps its length; "COM10" is one byte longer
    // than "COM1", so with the file-size limit at the file's size the write
    // fails there. Written key by key, the file would hold the new model
    // with the old port; written as one file, it holds the old settings whole.
    WriteModelFile(ModelFile("QX-58M", kSavedSerial));
    const QByteArray before = FileBytes();
    EXPECT_EQ(Run([&](CPortConfigDlg& dialog) {
                  Choose(dialog, IDC_CONFIG_MODEL, "TX-100");
                  Choose(dialog, IDC_CONFIG_INTERFACE, "Serial");
                  Choose(dialog, IDC_CONFIG_PORT, "COM10");
                  {
                      const CFileSizeLimit limit(static_cast<rlim_t>(before.size()));
                      Click(dialog, win::kIdOk);
                  }
                  ASSERT_EQ(m_messages.Texts().size(), 1);
                  EXPECT_TRUE(m_messages.Texts()[0].contains("File too large")) << m_messages.Texts()[0].toStdString();
                  EXPECT_EQ(FileBytes(), before);
                  Click(dialog, win::kIdOk);  // without the limit the same choice is saved whole
              }),
              QDialog::Accepted);
    EXPECT_EQ(FileBytes(), QByteArray(before)
                               .replace("ModelName=QX-58M\nModelType=2\nRECEIPTWIDTH=576\nMEMORYSIZE=384\nDOWNMAX=30",
                                        "ModelName=TX-100\nModelType=1\nRECEIPTWIDTH=512\nMEMORYSIZE=256\nDOWNMAX=50")
                               .replace("PORTNAME=COM1\n", "PORTNAME=COM10\n"));
    EXPECT_EQ(QDir(m_dir.Root()).entryList(QDir::Files), QStringList{"NV.inf"});  // no temporary file left
}

}  // namespace
