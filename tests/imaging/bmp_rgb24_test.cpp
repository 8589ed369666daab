// Uncompressed 24-bit files are decoded by our own code: every pixel must be
// what the platform's image loader makes of the same file, in every row
// padding, row order and header size; and measuring a file must agree with
// loading it.
#include "imaging/bitmap_surface.h"
#include "support/bmp_writer.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QImageReader>

#include <cstring>
#include <ostream>
#include <random>
#include <string>

namespace {

void PutLe32(QByteArray& bytes, int offset, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

quint32 Le32(const QByteArray& bytes, int offset)
{
    quint32 value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | static_cast<quint8>(bytes[offset + i]);
    return value;
}

// A 40-byte header grown to infoSize bytes, and `gap` bytes between the
// headers and the pixels, with the offsets to match.
QByteArray Reshaped(QByteArray bytes, int infoSize, int gap)
{
    bytes.insert(54, QByteArray(infoSize - 40 + gap, '\x5A'));
    PutLe32(bytes, 14, static_cast<quint32>(infoSize));
    PutLe32(bytes, 10, Le32(bytes, 10) + static_cast<quint32>(infoSize - 40 + gap));
    PutLe32(bytes, 2, static_cast<quint32>(bytes.size()));
    return bytes;
}

QString Write(const CTestDir& dir, const QByteArray& bytes)
{
    const QString path = dir.Path("logo.bmp");
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size());
    return path;
}

struct Rgb24Case {
    const char* name;
    int width;
    int height;
    bool topDown;
    int infoSize;
    int gap;
};

void PrintTo(const Rgb24Case& c, std::ostream* os) { *os << c.name; }

class BmpRgb24Test : public ::testing::TestWithParam<Rgb24Case> {};

TEST_P(BmpRgb24Test, EveryPixelIsWhatTheImageLoaderReads)
{
    const Rgb24Case& c = GetParam();
    std::mt19937 random(static_cast<unsigned>(c.width * 131 + c.height));
    BmpSpec spec;
    spec.width = c.width;
    spec.height = c.height;
    spec.topDown = c.topDown;
    spec.pixel = [&random](int, int) { return static_cast<std::uint32_t>(random()) & 0xFFFFFFu; };
    const QByteArray bytes = Reshaped(MakeBmp(spec), c.infoSize, c.gap);

    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer, "bmp");
    const QImage expected = reader.read();
    ASSERT_FALSE(expected.isNull()) << reader.errorString().toStdString();

    CTestDir dir;
    const std::optional<CBitmapSurface> surface = CBitmapSurface::LoadBmp(Write(dir, bytes));
    ASSERT_TRUE(surface);
    const QImage& image = surface->Image();
    ASSERT_EQ(image.format(), expected.format());
    ASSERT_EQ(image.size(), expected.size());
    EXPECT_EQ(image.dotsPerMeterX(), expected.dotsPerMeterX());
    for (int y = 0; y < image.height(); ++y)
        ASSERT_EQ(std::memcmp(image.constScanLine(y), expected.constScanLine(y), static_cast<size_t>(image.width()) * 4), 0)
            << "row " << y;
}

INSTANTIATE_TEST_SUITE_P(
    BmpFiles, BmpRgb24Test,
    ::testing::Values(Rgb24Case{"NoPadding", 4, 3, false, 40, 0}, Rgb24Case{"OneBytePadding", 5, 3, false, 40, 0},
                      Rgb24Case{"TwoBytesPadding", 6, 2, false, 40, 0},
                      Rgb24Case{"ThreeBytesPadding", 1, 4, false, 40, 0}, Rgb24Case{"TopDown", 7, 5, true, 40, 0},
                      Rgb24Case{"VersionFourHeader", 3, 3, false, 108, 0},
                      Rgb24Case{"VersionFiveHeaderTopDown", 9, 4, true, 124, 0},
                      Rgb24Case{"GapBeforeThePixels", 5, 2, false, 40, 10},
                      Rgb24Case{"ManyReadBlocks", 576, 120, false, 40, 0}),
    [](const ::testing::TestParamInfo<Rgb24Case>& testInfo) { return std::string(testInfo.param.name); });

// ------------------------------------------------------- measuring

QByteArray Colour24(int width, int height, bool topDown = false)
{
    BmpSpec spec;
    spec.width = width;
    spec.height = height;
    spec.topDown = topDown;
    spec.pixel = [](int x, int y) { return static_cast<std::uint32_t>(x * 7 + y * 13); };
    return MakeBmp(spec);
}

QByteArray Palette8(int width, int height)
{
    BmpSpec spec;
    spec.width = width;
    spec.height = height;
    spec.bitsPerPixel = 8;
    spec.palette = {win::MakeColorRef(0, 0, 0), win::MakeColorRef(255, 255, 255)};
    spec.pixel = [](int x, int) { return static_cast<std::uint32_t>(x % 2); };
    return MakeBmp(spec);
}

struct MeasureCase {
    const char* name;
    QByteArray bytes;
};

void PrintTo(const MeasureCase& c, std::ostream* os) { *os << c.name; }

QByteArray WithField(QByteArray bytes, int offset, char value)
{
    bytes[offset] = value;
    return bytes;
}

std::vector<MeasureCase> MeasureCases()
{
    return {
        {"Colour", Colour24(600, 100)},
        {"ColourTopDown", Colour24(3, 2, true)},
        {"ColourCutShort", Colour24(40, 30).left(54 + 40 * 3 * 29)},
        {"ColourTwoPlanes", WithField(Colour24(4, 4), 26, 2)},
        {"ColourOddHeaderSize", Reshaped(Colour24(4, 4), 52, 0)},
        {"Palette", Palette8(33, 7)},
        {"PaletteCutShort", Palette8(33, 7).left(60)},
        {"NotABitmap", QByteArray("GIF89a not a bitmap at all, but long enough for a header ............")},
        {"Empty", QByteArray()},
    };
}

class BmpMeasureTest : public ::testing::TestWithParam<MeasureCase> {};

TEST_P(BmpMeasureTest, AgreesWithLoading)
{
    CTestDir dir;
    const QString path = Write(dir, GetParam().bytes);
    QString loadError;
    QString measureError;
    const std::optional<CBitmapSurface> loaded = CBitmapSurface::LoadBmp(path, &loadError);
    const std::optional<QSize> measured = CBitmapSurface::MeasureBmp(path, &measureError);
    ASSERT_EQ(measured.has_value(), loaded.has_value()) << loadError.toStdString() << " / " << measureError.toStdString();
    if (loaded)
        EXPECT_EQ(*measured, QSize(loaded->Width(), loaded->Height()));
    else
        EXPECT_EQ(measureError, loadError);
}

INSTANTIATE_TEST_SUITE_P(BmpFiles, BmpMeasureTest, ::testing::ValuesIn(MeasureCases()),
                         [](const ::testing::TestParamInfo<MeasureCase>& testInfo) { return std::string(testInfo.param.name); });

TEST(BmpMeasureTest, MissingFileGivesTheLoadersReason)
{
    CTestDir dir;
    QString loadError;
    QString measureError;
    EXPECT_FALSE(CBitmapSurface::LoadBmp(dir.Path("missing.bmp"), &loadError));
    EXPECT_FALSE(CBitmapSurface::MeasureBmp(dir.Path("missing.bmp"), &measureError));
    EXPECT_EQ(measureError, loadError);
}

}  // namespace
