#include "framework/widgets/gui_message_box.h"

#include "framework/outcome.h"
#include "support/message_recorder.h"
#include "support/temp_dir.h"
#include "transport/printer_connection.h"

#include <QTcpServer>

#include <gtest/gtest.h>

namespace {

TEST(GuiMessageBox, TitledMarkographWithAnIconThatSaysFailureOrInformation)
{
    // The icon comes from what the message says it is, never from its words:
    // a plain box shows its severity, a success never a warning sign.
    struct Case {
        const char* text;
        MessageIcon icon;
        Severity severity;
        QMessageBox::Icon shown;
    };
    const Case cases[] = {
        {"Failed to load image file!", MessageIcon::None, Severity::Failure, QMessageBox::Critical},
        {"Error : Openport failed!", MessageIcon::None, Severity::Failure, QMessageBox::Critical},
        {"Not Support Printer", MessageIcon::None, Severity::Failure, QMessageBox::Critical},
        {"Empty NV Image list!", MessageIcon::None, Severity::Notice, QMessageBox::Information},
        {"Download Completed!", MessageIcon::None, Severity::Success, QMessageBox::Information},
        {"Completed printer flash memory delete!\r\nWait a few minute!", MessageIcon::None, Severity::Success,
         QMessageBox::Information},
        {"Image download finished!", MessageIcon::Exclamation, Severity::Success, QMessageBox::Information},
        {"Print files Save finished", MessageIcon::Exclamation, Severity::Success, QMessageBox::Information},
        {"Without a bitmap file being selected.", MessageIcon::Exclamation, Severity::Warning, QMessageBox::Warning},
        {"Without a bmpfile being selected.", MessageIcon::Exclamation, Severity::Notice, QMessageBox::Warning},
        {"Do you want to remove all of selection?", MessageIcon::Question, Severity::Notice, QMessageBox::Question},
    };
    for (const Case& c : cases) {
        MessageRequest request;
        request.text = QString::fromLatin1(c.text);
        request.icon = c.icon;
        request.severity = c.severity;
        EXPECT_EQ(GuiMessageIcon(request), c.shown) << c.text;
    }
    // What ShowOutcome hands the desktop keeps the box's own icon and says
    // the severity beside it.
    CMessageRecorder messages;
    ShowOutcome(Outcome::Success("Image download finished!", MessageIcon::Exclamation));
    ShowOutcome(Outcome::Failure("Error : Openport failed!", "/dev/ttyUSB0"));
    ShowOutcome(Outcome::Success());  // nothing to tell
    ASSERT_EQ(messages.Requests().size(), 2u);
    EXPECT_EQ(messages.Requests()[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(GuiMessageIcon(messages.Requests()[0]), QMessageBox::Information);
    EXPECT_EQ(GuiMessageIcon(messages.Requests()[1]), QMessageBox::Critical);
    EXPECT_EQ(messages.Requests()[1].detail, "/dev/ttyUSB0");
}

TEST(GuiMessageBox, ShowsTheTitleTheDetailAndTheButtons)
{
    MessageRequest request;
    request.text = QStringLiteral("Error : Openport failed!");
    request.detail = QStringLiteral("open /dev/ttyUSB0: No such file or directory");
    QMessageBox box;
    SetUpMessageBox(box, request);
    EXPECT_EQ(box.windowTitle(), QStringLiteral("Markograph"));
    EXPECT_EQ(box.text(), request.text);
    EXPECT_EQ(box.informativeText(), request.detail);
    EXPECT_EQ(box.standardButtons(), QMessageBox::Ok);

    request.title = QStringLiteral("BMP Logo!");
    request.buttons = MessageButtons::YesNo;
    SetUpMessageBox(box, request);
    EXPECT_EQ(box.windowTitle(), QStringLiteral("BMP Logo!"));
    EXPECT_EQ(box.standardButtons(), QMessageBox::Yes | QMessageBox::No);
}

}  // namespace

namespace {

// A printer that cannot be reached: the message keeps its text, the second
// line names what was tried.
TEST(GuiMessageBox, AFailedConnectionNamesTheAddressOrDeviceTried)
{
    CMessageRecorder messages;
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
    const quint16 port = closed.serverPort();
    closed.close();  // nothing listens there now
    PortSettings ethernet;
    ethernet.interfaceKind = InterfaceKind::Ethernet;
    ethernet.ipAddress = {127, 0, 0, 1};
    ethernet.tcpPort = port;
    {
        CPrinterConnection connection(ethernet, OpenFailureText::UploadAndPrint);
        EXPECT_FALSE(connection.OpenPrinter());
    }
    ASSERT_EQ(messages.Requests().size(), 1u);
    EXPECT_TRUE(messages.Requests()[0].text.startsWith("Error : Failed to connected"));
    EXPECT_TRUE(messages.Requests()[0].detail.contains(QStringLiteral("127.0.0.1, port %1").arg(port)))
        << messages.Requests()[0].detail.toStdString();

    CTestDir dir;
    PortSettings serial;
    serial.interfaceKind = InterfaceKind::Serial;
    serial.portName = dir.Path("ttyUSB9");  // a path that does not exist
    {
        CPrinterConnection connection(serial, OpenFailureText::UploadAndPrint);
        EXPECT_FALSE(connection.OpenPrinter());
    }
    ASSERT_EQ(messages.Requests().size(), 2u);
    EXPECT_EQ(messages.Requests()[1].text, "Error : Openport failed!");
    EXPECT_TRUE(messages.Requests()[1].detail.contains(serial.portName)) << messages.Requests()[1].detail.toStdString();
}

}  // namespace
