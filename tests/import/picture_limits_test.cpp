#include "import/picture_loader.h"

#include "support/temp_dir.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QPainter>

#include <gtest/gtest.h>

// Pictures that claim more than they carry, and drawings that would need
// what this test program lacks (fonts): refused with a reason, never
// decoded into hundreds of megabytes, never fatal.

namespace {

QByteArray Jpeg(const QImage& image, bool progressive)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(90);
    writer.setProgressiveScanWrite(progressive);
    EXPECT_TRUE(writer.write(image)) << writer.errorString().toStdString();
    return bytes;
}

// The JPEG with the size in its frame header replaced, cut right after the
// header of its first scan: what a hostile file of a few hundred bytes is.
QByteArray ClaimWithoutData(QByteArray jpeg, int width, int height)
{
    for (int at = 2; at + 9 < jpeg.size(); ++at) {
        if (uchar(jpeg[at]) != 0xFF)
            continue;
        const uchar marker = uchar(jpeg[at + 1]);
        const int length = uchar(jpeg[at + 2]) << 8 | uchar(jpeg[at + 3]);
        if (marker == 0xC0 || marker == 0xC2) {
            jpeg[at + 5] = char(height >> 8);
            jpeg[at + 6] = char(height);
            jpeg[at + 7] = char(width >> 8);
            jpeg[at + 8] = char(width);
        }
        if (marker == 0xDA)
            return jpeg.left(at + 2 + length + 4);
        at += 1 + length;
    }
    ADD_FAILURE() << "no scan in the JPEG";
    return jpeg;
}

QString Write(const CTestDir& dir, const QString& name, const QByteArray& bytes)
{
    QFile file(dir.Path(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return file.fileName();
}

QImage HalfBlack(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter(&image).fillRect(0, 0, width / 2, height, Qt::black);
    return image;
}

}  // namespace

TEST(PictureLimits, DeclaredSizesAreCheckedBeforeAnyPixelIsDecoded)
{
    CTestDir dir;
    const QImage small = HalfBlack(64, 64);
    struct Case {
        const char* name;
        QByteArray bytes;
        const char* reason;
    };
    const Case cases[] = {
        // 600 MB of coefficients for a progressive picture, whatever size it
        // is decoded at.
        {"progressive 10000 x 10000", ClaimWithoutData(Jpeg(small, true), 10000, 10000), "MB to decode"},
        // Within the memory bound, but the file holds no data for its pixels.
        {"progressive 4000 x 4000", ClaimWithoutData(Jpeg(small, true), 4000, 4000), "ends long before"},
        {"baseline 20000 x 20000", ClaimWithoutData(Jpeg(small, false), 20000, 20000), "ends long before"},
        {"baseline cut short", Jpeg(HalfBlack(3000, 3000), false).left(2000), "ends long before"},
    };
    for (const Case& c : cases) {
        const QString path = Write(dir, QStringLiteral("claim.jpg"), c.bytes);
        QString error;
        EXPECT_FALSE(LoadPicture(path, [](QSize) { return QSize(576, 576); }, &error)) << c.name;
        EXPECT_TRUE(error.startsWith(path) && error.contains(c.reason)) << c.name << ": " << error.toStdString();
    }
    // The shortest honest files pass: flat pictures, which code in the
    // fewest bytes, of each kind.
    const QImage white = [] { QImage image(3000, 3000, QImage::Format_RGB32); image.fill(Qt::white); return image; }();
    for (const bool progressive : {false, true}) {
        const QString path = Write(dir, QStringLiteral("flat.jpg"), Jpeg(white, progressive));
        QString error;
        EXPECT_TRUE(LoadPicture(path, [](QSize) { return QSize(576, 576); }, &error)) << error.toStdString();
    }
    ASSERT_TRUE(white.convertToFormat(QImage::Format_Mono).save(dir.Path("flat.png")));
    QString error;
    EXPECT_TRUE(LoadPicture(dir.Path("flat.png"), {}, &error)) << error.toStdString();
}

TEST(PictureLimits, DrawingsCheckTheirEmbeddedPicturesAndNeedFontsOnlyForText)
{
    CTestDir dir;
    const QByteArray claim = ClaimWithoutData(Jpeg(HalfBlack(64, 64), true), 10000, 10000);
    const QByteArray svg = R"(<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" )"
                           R"(width="100" height="100"><image width="100" height="100" xlink:href="data:image/jpeg;base64,)" +
                           claim.toBase64() + R"("/></svg>)";
    QString error;
    EXPECT_FALSE(LoadPicture(Write(dir, "embedded.svg", svg), {}, &error));
    EXPECT_TRUE(error.contains("an embedded picture") && error.contains("MB to decode")) << error.toStdString();

    // This program has no GUI application, so no fonts: text is refused
    // with the reason instead of ending the program.
    const QString text = Write(dir, "text.svg", R"(<svg xmlns="http://www.w3.org/2000/svg" width="200" height="60">
        <text x="5" y="40" font-size="30">Logo</text></svg>)");
    EXPECT_FALSE(LoadPicture(text, {}, &error));
    EXPECT_TRUE(error.contains("has text") && error.contains("fonts")) << error.toStdString();
    // A font named on shapes alone needs none.
    const QString shapes = Write(dir, "shapes.svg", R"(<svg xmlns="http://www.w3.org/2000/svg" width="20" height="20"
        font-family="Sans"><rect width="10" height="20" fill="#000"/></svg>)");
    const std::optional<QImage> drawn = LoadPicture(shapes, {}, &error);
    ASSERT_TRUE(drawn) << error.toStdString();
    EXPECT_EQ(drawn->pixel(2, 10), qRgb(0, 0, 0));
}
