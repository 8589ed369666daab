#include "compose/compose_layout.h"

#include <gtest/gtest.h>

// The layout file: what a hand-written file means, that the written form
// reads back as the same layout, and that a bad line is named by its number.

TEST(ComposeLayoutFile, ReadsWritesAndRefusesByLine)
{
    ComposeTextLine textDefaults;
    textDefaults.size = 28;
    textDefaults.align = ComposeAlign::Left;
    ComposeQr qrDefaults;
    qrDefaults.level = QrLevel::H;
    const QString text = QStringLiteral(
        "# a shop\n"
        "text font=\"DejaVu Serif\" size=40 bold align=centre ink=second: Corner Café: since 1990 \n"
        "\n"
        "text:   indented\r\n"
        "spacing 6\n"
        "shrink\n"
        "qr module=4 position=beside: https://example.com/a?b=c:d\n"
        "picture: art/shop.png\n");
    QString error;
    const std::optional<ComposeLayout> layout = ParseComposeLayout(text, "/srv/logos", textDefaults, qrDefaults, &error);
    ASSERT_TRUE(layout) << error.toStdString();
    ASSERT_EQ(layout->lines.size(), 2u);
    const ComposeTextLine& first = layout->lines[0];
    EXPECT_EQ(first.text, QStringLiteral("Corner Café: since 1990 "));
    EXPECT_EQ(first.font, "DejaVu Serif");
    EXPECT_EQ(first.size, 40);
    EXPECT_TRUE(first.bold);
    EXPECT_EQ(first.align, ComposeAlign::Center);
    EXPECT_EQ(first.ink, ComposeInk::Second);
    // A line that says nothing takes the defaults; one space after the colon is the separator.
    ComposeTextLine second = textDefaults;
    second.text = "  indented";
    EXPECT_EQ(layout->lines[1], second);
    EXPECT_EQ(layout->spacing, 6);
    EXPECT_TRUE(layout->shrink);
    ASSERT_TRUE(layout->qr);
    EXPECT_EQ(layout->qr->content, "https://example.com/a?b=c:d");
    EXPECT_EQ(layout->qr->level, QrLevel::H);
    EXPECT_EQ(layout->qr->module, 4);
    EXPECT_EQ(layout->qr->position, QrPosition::Beside);
    ASSERT_TRUE(layout->picture);
    EXPECT_EQ(layout->picture->path, "/srv/logos/art/shop.png");

    const std::optional<ComposeLayout> again =
        ParseComposeLayout(FormatComposeLayout(*layout), "/elsewhere", {}, {}, &error);
    ASSERT_TRUE(again) << error.toStdString();
    EXPECT_EQ(*again, *layout);

    for (const char* bad : {"text size=2: too small", "qr level=X: x", "text bold=yes: x", "picture", "title: x",
                            "spacing -1"}) {
        EXPECT_FALSE(ParseComposeLayout(QStringLiteral("text: fine\n%1\n").arg(bad), {}, {}, {}, &error)) << bad;
        EXPECT_TRUE(error.startsWith("Layout line 2: ")) << error.toStdString();
    }
    EXPECT_EQ(CheckComposeLayout(*layout, PrinterKind::Mono),
              "Only two-colour printers have a second ink; print the text and the QR code in black.");
    EXPECT_EQ(CheckComposeLayout(*layout, PrinterKind::TwoColor), QString());
    EXPECT_FALSE(CheckComposeLayout(ComposeLayout{}, PrinterKind::Mono).isEmpty());
}
