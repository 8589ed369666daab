#include "framework/file_descriptor.h"
#include "support/message_recorder.h"
#include "support/temp_dir.h"
#include "transport/device_io.h"
#include "transport/parallel_port.h"
#include "transport/printer_connection.h"
#include "transport/serial_port.h"
#include "transport/usb_port.h"

#include <QFile>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

// A port name that is a regular file, a folder, a FIFO or a socket is no
// printer: every transport refuses it before anything is written.

namespace {

enum class Thing { File, Folder, Fifo, Socket };

const char kContent[] = "an operator's file";

// Makes the thing under dir/lp0 (the parallel port LPT1 of a device root
// at dir); keeps a bound socket alive while the test runs.
class CNonDevice {
public:
    CNonDevice(const CTestDir& dir, Thing thing) : m_path(dir.Path(QStringLiteral("lp0")))
    {
        const QByteArray name = QFile::encodeName(m_path);
        switch (thing) {
        case Thing::File: {
            QFile file(m_path);
            EXPECT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(kContent);
            break;
        }
        case Thing::Folder: EXPECT_EQ(::mkdir(name.constData(), 0700), 0); break;
        case Thing::Fifo: EXPECT_EQ(::mkfifo(name.constData(), 0600), 0); break;
        case Thing::Socket: {
            m_socket.Reset(::socket(AF_UNIX, SOCK_STREAM, 0));
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            EXPECT_LT(name.size(), static_cast<qsizetype>(sizeof address.sun_path));
            std::copy(name.begin(), name.end(), address.sun_path);
            EXPECT_EQ(::bind(m_socket.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
            break;
        }
        }
    }
    const QString& Path() const { return m_path; }

private:
    QString m_path;
    CFileDescriptor m_socket;
};

void ExpectRefused(const TransportError& error, const char* transport)
{
    EXPECT_EQ(error.code, ENODEV) << transport;
    EXPECT_EQ(error.reason, QString::fromLatin1(kNotAPrinterDevice)) << transport;
    EXPECT_TRUE(error.Text().endsWith(QStringLiteral(": not a printer device"))) << error.Text().toStdString();
}

class DeviceRefusal : public ::testing::TestWithParam<Thing> {};

TEST_P(DeviceRefusal, EveryTransportRefusesItAndWritesNothing)
{
    CTestDir dir;
    const CNonDevice thing(dir, GetParam());
    PortSettings settings;
    settings.baudRate = 19200;
    settings.dataBits = 8;

    settings.portName = thing.Path();  // an absolute path: taken as it is
    CSerialPort serial;
    ASSERT_TRUE(serial.Setup(settings));
    ExpectRefused(serial.Open(), "serial");
    EXPECT_FALSE(serial.IsOpen());

    CUsbPort usb;
    ASSERT_TRUE(usb.Setup(settings));
    ExpectRefused(usb.Open(), "usb");
    EXPECT_EQ(usb.Write("x", 1).transferred, 0);

    settings.portName = QStringLiteral("LPT1");
    CParallelPort parallel(dir.Root());
    ASSERT_TRUE(parallel.Setup(settings));
    ExpectRefused(parallel.Open(), "parallel");

    if (GetParam() == Thing::File) {
        QFile file(thing.Path());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), QByteArray(kContent));  // untouched
    }
    if (GetParam() == Thing::Fifo) {
        // Nobody opened it for writing: a reader sees no writer at all.
        CFileDescriptor reader(::open(QFile::encodeName(thing.Path()).constData(), O_RDONLY | O_NONBLOCK));
        char byte = 0;
        EXPECT_EQ(::read(reader.Get(), &byte, 1), 0);
    }
}

std::string ThingName(const ::testing::TestParamInfo<Thing>& info)
{
    static const char* const kNames[] = {"RegularFile", "Folder", "Fifo", "Socket"};
    return kNames[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(Things, DeviceRefusal,
                         ::testing::Values(Thing::File, Thing::Folder, Thing::Fifo, Thing::Socket), ThingName);

TEST(DeviceRefusalMessage, TheCallersOpenFailureTextCarriesTheReason)
{
    CTestDir dir;
    const CNonDevice file(dir, Thing::File);
    CMessageRecorder messages;
    PortSettings settings;
    settings.interfaceKind = InterfaceKind::Usb;
    settings.portName = file.Path();
    {
        CPrinterConnection upload(settings, OpenFailureText::UploadAndPrint);
        EXPECT_FALSE(upload.OpenPrinter());
        CPrinterConnection address(settings, OpenFailureText::AddressDialogs);
        EXPECT_FALSE(address.OpenPrinter());
    }
    // The fixed text stays as it is; the second line says what was tried and why.
    const QString reason = QStringLiteral("open %1: not a printer device").arg(file.Path());
    EXPECT_EQ(messages.Texts(), QStringList({"Error : Openport failed!", "Error : Openport Failed!"}));
    ASSERT_EQ(messages.Requests().size(), 2u);
    EXPECT_EQ(messages.Requests()[0].detail, reason);
    EXPECT_EQ(messages.Requests()[1].detail, reason);

    // Any other failure carries the system's reason the same way.
    messages.Clear();
    settings.portName = dir.Path(QStringLiteral("unplugged"));
    CPrinterConnection plain(settings, OpenFailureText::UploadAndPrint);
    EXPECT_FALSE(plain.OpenPrinter());
    ASSERT_EQ(messages.Requests().size(), 1u);
    EXPECT_EQ(messages.Requests()[0].text, "Error : Openport failed!");
    EXPECT_EQ(messages.Requests()[0].detail, "open " + settings.portName + ": No such file or directory");
}

}  // namespace
