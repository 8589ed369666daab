#include "framework/widgets/gui_message_box.h"

#include <gtest/gtest.h>

namespace {

TEST(GuiMessageBox, TitledMarkographWithAnIconThatSaysFailureOrInformation)
{
    struct Case {
        const char* text;
        MessageIcon icon;
        QMessageBox::Icon shown;
    };
    const Case cases[] = {
        {"Failed to load image file!", MessageIcon::None, QMessageBox::Critical},
        {"Error : Openport failed!", MessageIcon::None, QMessageBox::Critical},
        {"Error : Failed to connected \r\nPlease, check IP port configuration", MessageIcon::None,
         QMessageBox::Critical},
        {"Not Support Printer", MessageIcon::None, QMessageBox::Critical},
        {"Don't Read files any more!", MessageIcon::None, QMessageBox::Critical},
        {"NV-bitimage area too small", MessageIcon::None, QMessageBox::Critical},
        {"Fail to get Image address list!", MessageIcon::None, QMessageBox::Critical},
        {"Download Completed!", MessageIcon::None, QMessageBox::Information},
        {"Completed printer flash memory delete!\r\nWait a few minute!", MessageIcon::None,
         QMessageBox::Information},
        {"Image download finished!", MessageIcon::Exclamation, QMessageBox::Warning},
        {"Do you want to remove all of selection?", MessageIcon::Question, QMessageBox::Question},
    };
    for (const Case& c : cases) {
        MessageRequest request;
        request.text = QString::fromLatin1(c.text);
        request.icon = c.icon;
        EXPECT_EQ(GuiMessageIcon(request), c.shown) << c.text;
    }
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
