#include "import/picture_importer.h"
#include "import/picture_loader.h"

#include "config/config_test_files.h"
#include "support/temp_dir.h"

#include <QFile>
#include <QImageWriter>
#include <QPainter>

#include <string>

#include <gtest/gtest.h>

// Every picture format the import promises, read from real files.

namespace {

// Black on the left half, white on the right.
QImage HalfBlack(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter(&image).fillRect(0, 0, width / 2, height, Qt::black);
    return image;
}

class PictureFormats : public testing::TestWithParam<const char*> {};

}  // namespace

TEST_P(PictureFormats, ReadAsOpaquePicturesOfTheirSize)
{
    CTestDir dir;
    const QByteArray format = GetParam();
    const QString path = dir.Path(QStringLiteral("picture.") + QString::fromLatin1(format));
    QImageWriter writer(path, format);
    ASSERT_TRUE(writer.write(HalfBlack(40, 20))) << format.constData() << ": " << writer.errorString().toStdString()
                                                 << " (is qt6-image-formats-plugins installed?)";
    QString error;
    const std::optional<QImage> picture = LoadPicture(path, {}, &error);
    ASSERT_TRUE(picture) << error.toStdString();
    EXPECT_EQ(picture->size(), QSize(40, 20));
    EXPECT_EQ(picture->format(), QImage::Format_RGB32);
    EXPECT_LT(qGray(picture->pixel(5, 10)), 40);
    EXPECT_GT(qGray(picture->pixel(35, 10)), 215);
}

INSTANTIATE_TEST_SUITE_P(Formats, PictureFormats, testing::Values("png", "jpg", "bmp", "tiff", "webp"),
                         [](const testing::TestParamInfo<const char*>& testInfo) { return std::string(testInfo.param); });

TEST(PictureLoading, GifsAreReadAndTheirTransparencyIsPaper)
{
    // Qt reads GIF but does not write it: a 1 x 1 GIF whose only pixel is transparent.
    CTestDir dir;
    QFile file(dir.Path("dot.gif"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray::fromBase64("R0lGODlhAQABAIAAAAAAAP///yH5BAEAAAAALAAAAAABAAEAAAIBRAA7"));
    file.close();
    QString error;
    const std::optional<QImage> picture = LoadPicture(file.fileName(), {}, &error);
    ASSERT_TRUE(picture) << error.toStdString();
    EXPECT_EQ(picture->size(), QSize(1, 1));
    EXPECT_EQ(picture->pixel(0, 0), qRgb(255, 255, 255));
}

TEST(PictureLoading, DrawingsAreRenderedAtTheSizeTheImportWants)
{
    CTestDir dir;
    const QString path = dir.Path("logo.svg");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(R"(<svg xmlns="http://www.w3.org/2000/svg" width="200" height="100">
                    <rect x="0" y="0" width="100" height="100" fill="#000"/></svg>)");
    file.close();
    QString error;
    const std::optional<QImage> natural = LoadPicture(path, {}, &error);
    ASSERT_TRUE(natural) << error.toStdString();
    EXPECT_EQ(natural->size(), QSize(200, 100));
    EXPECT_EQ(qGray(natural->pixel(150, 50)), 255);  // transparent background laid over white

    ImportSettings settings;
    settings.width = 576;
    settings.dither = DitherMethod::None;
    const std::optional<ImportedLogo> logo = ImportPictureFile(path, settings, &error);
    ASSERT_TRUE(logo) << error.toStdString();
    EXPECT_EQ(logo->dotWidth, 576);
    EXPECT_EQ(logo->dotHeight, 288);
    EXPECT_EQ(logo->DotAt(287, 144), kBlackDot);  // a crisp edge: drawn at the size, not enlarged
    EXPECT_EQ(logo->DotAt(288, 144), kPaperDot);
}

TEST(PictureLoading, TransparencyIsLaidOverWhitePaper)
{
    QImage picture(3, 1, QImage::Format_ARGB32);
    picture.setPixel(0, 0, qRgba(0, 0, 0, 0));      // fully transparent black
    picture.setPixel(1, 0, qRgba(0, 0, 0, 128));    // half-transparent black
    picture.setPixel(2, 0, qRgba(255, 0, 0, 255));  // opaque red
    const QImage flat = FlattenOverWhite(picture);
    EXPECT_EQ(flat.format(), QImage::Format_RGB32);
    EXPECT_EQ(flat.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_NEAR(qRed(flat.pixel(1, 0)), 127, 1);
    EXPECT_EQ(flat.pixel(2, 0), qRgb(255, 0, 0));
}

TEST(PictureLoading, LargePhotographsAreShrunkWhileDecoding)
{
    CTestDir dir;
    const QString path = dir.Path("photo.jpg");
    ASSERT_TRUE(HalfBlack(1600, 1200).save(path, "jpeg", 90));
    QSize asked;
    QString error;
    const std::optional<QImage> picture = LoadPicture(
        path, [&](QSize natural) { asked = natural; return QSize(300, 225); }, &error);
    ASSERT_TRUE(picture) << error.toStdString();
    EXPECT_EQ(asked, QSize(1600, 1200));
    EXPECT_EQ(picture->size(), QSize(400, 300));  // 1/4: the smallest decode still at least 300 wide
    EXPECT_LT(qGray(picture->pixel(50, 150)), 40);
}

TEST(PictureLoading, UnreadableFilesSayWhy)
{
    CTestDir dir;
    WriteFileBytes(dir.Path("notes.png"), "not a picture at all");
    QString error;
    EXPECT_FALSE(LoadPicture(dir.Path("notes.png"), {}, &error));
    EXPECT_TRUE(error.startsWith(dir.Path("notes.png"))) << error.toStdString();
    EXPECT_FALSE(LoadPicture(dir.Path("missing.png"), {}, &error));
    EXPECT_TRUE(error.contains("no such file")) << error.toStdString();
    WriteFileBytes(dir.Path("broken.svg"), "<svg");
    EXPECT_FALSE(LoadPicture(dir.Path("broken.svg"), {}, &error));
}
