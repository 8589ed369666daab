// Compressed, bit-field and top-down BMP files: what every pixel reads as,
// which streams are refused, and that a file decodes to the same pixels
// whatever the allocator left in fresh memory.
#include "imaging/bitmap_surface.h"
#include "support/bmp_writer.h"
#include "support/heap_pattern.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <QFile>

#include <ostream>
#include <string>
#include <vector>

namespace {

// Index 0 is paper white, so an unset pixel that is not index 0 shows.
std::vector<win::COLORREF> SixteenColours()
{
    std::vector<win::COLORREF> palette;
    for (int i = 0; i < 16; ++i)
        palette.push_back(i == 0 ? win::MakeColorRef(255, 255, 255) : win::MakeColorRef(i * 16, 200 - i * 8, i * 5));
    return palette;
}

QByteArray Rle(int bits, int width, int height, const QByteArray& stream, bool topDown = false)
{
    EncodedBmpSpec spec;
    spec.width = width;
    spec.height = height;
    spec.bitsPerPixel = bits;
    spec.compression = bits == 8 ? 1 : 2;
    spec.topDown = topDown;
    spec.palette = SixteenColours();
    spec.data = stream;
    return MakeEncodedBmp(spec);
}

std::optional<CBitmapSurface> Load(const CTestDir& dir, const QByteArray& bytes, QString* error = nullptr)
{
    const QString path = dir.Path("logo.bmp");
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size());
    file.close();
    return CBitmapSurface::LoadBmp(path, error);
}

// ------------------------------------------------------- RLE pixel by pixel

struct RleCase {
    const char* name;
    int bits;
    int width;
    int height;
    bool topDown;
    QByteArray stream;
    std::vector<const char*> rows;  // palette indices in hex, top row first
};

void PrintTo(const RleCase& c, std::ostream* os) { *os << c.name; }

QByteArray Hex(const char* text) { return QByteArray::fromHex(text); }

std::vector<RleCase> RleCases()
{
    return {
        // Bottom-up: the stream's first row is the image's last.
        {"Rle8RunsAndLiterals", 8, 4, 3, false, Hex("0401 0000 0202 0203 0000 0004 01020304 0001"), {"1234", "2233", "1111"}},
        {"Rle8EndOfBitmapEarly", 8, 4, 3, false, Hex("0405 0001"), {"0000", "0000", "5555"}},
        {"Rle8DeltaSkipsPixels", 8, 4, 3, false, Hex("0107 0002 0201 0108 0001"), {"0000", "0008", "7000"}},
        {"Rle8EndOfLineEarly", 8, 4, 2, false, Hex("0106 0000 0206 0001"), {"6600", "6000"}},
        {"Rle8RunPastTheEdgeIsCut", 8, 4, 2, false, Hex("0609 0000 0201 0001"), {"1100", "9999"}},
        {"Rle8OddLiteralIsPadded", 8, 4, 1, false, Hex("0003 040506 00 0102 0001"), {"4562"}},
        {"Rle8DeltaBelowTheImageEnds", 8, 3, 2, false, Hex("0102 0002 0009 0103"), {"000", "200"}},
        {"Rle8AllRowsEndedWithoutEndCode", 8, 2, 2, false, Hex("0201 0000 0202 0000"), {"22", "11"}},
        {"Rle8TopDown", 8, 4, 3, true, Hex("0401 0000 0102 0001"), {"1111", "2000", "0000"}},
        {"Rle4RunAlternatesNibbles", 4, 5, 2, false, Hex("0512 0000 0003 3450 0001"), {"34500", "12121"}},
        {"Rle4OddLiteralIsPadded", 4, 5, 1, false, Hex("0005 123450 00 0001"), {"12345"}},
        {"Rle4EndOfBitmapEarly", 4, 5, 2, false, Hex("02FF 0001"), {"00000", "FF000"}},
        {"Rle4DeltaSkipsPixels", 4, 5, 2, false, Hex("0002 0301 0277 0001"), {"00077", "00000"}},
    };
}

class BmpRleTest : public ::testing::TestWithParam<RleCase> {};

TEST_P(BmpRleTest, EveryPixelIsWhatTheStreamSaysOrIndexZero)
{
    const RleCase& c = GetParam();
    CTestDir dir;
    QString error;
    const std::optional<CBitmapSurface> surface = Load(dir, Rle(c.bits, c.width, c.height, c.stream, c.topDown), &error);
    ASSERT_TRUE(surface) << error.toStdString();
    ASSERT_EQ(surface->Width(), c.width);
    ASSERT_EQ(surface->Height(), c.height);
    EXPECT_TRUE(surface->IsPaletteBased());
    const std::vector<win::COLORREF> palette = SixteenColours();
    for (int y = 0; y < c.height; ++y) {
        for (int x = 0; x < c.width; ++x) {
            const int index = QByteArray(1, c.rows[y][x]).toInt(nullptr, 16);
            EXPECT_EQ(surface->GetPixel(x, y), palette[index]) << "pixel (" << x << ", " << y << ")";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(BmpFiles, BmpRleTest, ::testing::ValuesIn(RleCases()),
                         [](const ::testing::TestParamInfo<RleCase>& testInfo) { return std::string(testInfo.param.name); });

// ------------------------------------------------------- refused streams

struct RefusedCase {
    const char* name;
    QByteArray bytes;
    const char* reason;
};

void PrintTo(const RefusedCase& c, std::ostream* os) { *os << c.name; }

QByteArray WithEncoding(int bits, int compression)
{
    EncodedBmpSpec spec;
    spec.width = 2;
    spec.height = 2;
    spec.bitsPerPixel = bits;
    spec.compression = compression;
    spec.palette = bits <= 8 ? SixteenColours() : std::vector<win::COLORREF>{};
    spec.data = QByteArray(64, '\0');
    return MakeEncodedBmp(spec);
}

std::vector<RefusedCase> RefusedCases()
{
    return {
        {"Rle8CutInsideARun", Rle(8, 4, 3, Hex("0401 00")), "compressed pixel data is truncated"},
        {"Rle8CutInsideALiteral", Rle(8, 8, 1, Hex("0008 0102")), "compressed pixel data is truncated"},
        {"Rle8CutInsideADelta", Rle(8, 4, 3, Hex("0002 01")), "compressed pixel data is truncated"},
        {"Rle8RowsLeftWithoutEndCode", Rle(8, 4, 3, Hex("0401 0000")), "compressed pixel data is truncated"},
        {"Rle8NoDataAtAll", Rle(8, 4, 3, QByteArray()), "compressed pixel data is truncated"},
        {"Rle4CutInsideALiteral", Rle(4, 8, 1, Hex("0007 12")), "compressed pixel data is truncated"},
        {"Rle8OnFourBitPixels", WithEncoding(4, 1), "unsupported encoding"},
        {"Rle4OnEightBitPixels", WithEncoding(8, 2), "unsupported encoding"},
        {"BitFieldsOnTwentyFourBits", WithEncoding(24, 3), "unsupported encoding"},
        {"EmbeddedJpeg", WithEncoding(24, 4), "unsupported encoding"},
        {"TwoBitPixels", WithEncoding(2, 0), "unsupported encoding"},
    };
}

class BmpRefusedTest : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(BmpRefusedTest, IsRefusedWithAReason)
{
    CTestDir dir;
    QString error;
    EXPECT_FALSE(Load(dir, GetParam().bytes, &error));
    EXPECT_TRUE(error.contains(QLatin1String(GetParam().reason))) << error.toStdString();
}

INSTANTIATE_TEST_SUITE_P(BmpFiles, BmpRefusedTest, ::testing::ValuesIn(RefusedCases()),
                         [](const ::testing::TestParamInfo<RefusedCase>& testInfo) { return std::string(testInfo.param.name); });

TEST(BmpRefusedTest, ColourTableCutShortIsRefused)
{
    QByteArray bytes = Rle(8, 4, 3, Hex("0401 0001"));
    bytes.truncate(54 + 20);
    CTestDir dir;
    QString error;
    EXPECT_FALSE(Load(dir, bytes, &error));
    EXPECT_FALSE(error.isEmpty());
}

// ------------------------------------------------------- bit fields

QByteArray BitFields(int bits, bool topDown, int width, int height)
{
    EncodedBmpSpec spec;
    spec.width = width;
    spec.height = height;
    spec.bitsPerPixel = bits;
    spec.compression = 3;
    spec.topDown = topDown;
    spec.masks = bits == 16 ? std::vector<std::uint32_t>{0xF800, 0x07E0, 0x001F}
                            : std::vector<std::uint32_t>{0x00FF0000, 0x0000FF00, 0x000000FF};
    const int rowBytes = (width * bits + 31) / 32 * 4;
    for (int row = 0; row < height; ++row) {
        const int y = topDown ? row : height - 1 - row;
        QByteArray line(rowBytes, '\0');
        for (int x = 0; x < width; ++x) {
            // Black at (0, 0), full red on the first row, full blue elsewhere.
            const std::uint32_t value = x == 0 && y == 0 ? 0 : y == 0 ? spec.masks[0] : spec.masks[2];
            for (int b = 0; b < bits / 8; ++b)
                line[x * bits / 8 + b] = static_cast<char>((value >> (8 * b)) & 0xFF);
        }
        spec.data.append(line);
    }
    return MakeEncodedBmp(spec);
}

TEST(BmpBitFieldsTest, MasksPickTheChannelsInBothRowOrders)
{
    for (const int bits : {16, 32}) {
        for (const bool topDown : {false, true}) {
            CTestDir dir;
            QString error;
            const std::optional<CBitmapSurface> surface = Load(dir, BitFields(bits, topDown, 3, 2), &error);
            ASSERT_TRUE(surface) << bits << " bits: " << error.toStdString();
            EXPECT_EQ(surface->GetPixel(0, 0), win::MakeColorRef(0, 0, 0)) << bits << (topDown ? " top-down" : "");
            EXPECT_EQ(win::GreenOf(surface->GetPixel(1, 0)), 0);
            EXPECT_GE(win::RedOf(surface->GetPixel(1, 0)), 248) << bits << (topDown ? " top-down" : "");
            EXPECT_GE(win::BlueOf(surface->GetPixel(2, 1)), 248) << bits << (topDown ? " top-down" : "");
            EXPECT_EQ(win::RedOf(surface->GetPixel(2, 1)), 0);
        }
    }
}

// ------------------------------------------------------- determinism

struct DeterminismCase {
    const char* name;
    QByteArray bytes;
};

void PrintTo(const DeterminismCase& c, std::ostream* os) { *os << c.name; }

// Large enough that the pixels live in a block of their own.
std::vector<DeterminismCase> DeterminismCases()
{
    BmpSpec topDown24;
    topDown24.width = 61;
    topDown24.height = 40;
    topDown24.topDown = true;
    topDown24.pixel = [](int x, int y) { return win::MakeColorRef(x * 4, y * 6, (x ^ y) & 0xFF); };
    return {
        {"Rle8EndOfBitmapEarly", Rle(8, 64, 48, Hex("4003 0000 2005 0001"))},
        {"Rle8Delta", Rle(8, 64, 48, Hex("1004 0002 2010 0807 0001"))},
        {"Rle8TopDown", Rle(8, 64, 48, Hex("4003 0002 0005 0409 0001"), true)},
        {"Rle4EndOfBitmapEarly", Rle(4, 64, 48, Hex("3012 0000 0821 0001"))},
        {"Rle4Delta", Rle(4, 64, 48, Hex("0002 1010 0AAB 0001"))},
        {"BitFields16", BitFields(16, false, 63, 41)},
        {"BitFields32TopDown", BitFields(32, true, 63, 41)},
        {"TopDown24", MakeBmp(topDown24)},
    };
}

std::vector<win::COLORREF> AllPixels(const CBitmapSurface& surface)
{
    std::vector<win::COLORREF> pixels(static_cast<size_t>(surface.Width()) * surface.Height());
    for (int y = 0; y < surface.Height(); ++y)
        surface.ReadRow(y, pixels.data() + static_cast<size_t>(y) * surface.Width());
    return pixels;
}

class BmpDeterminismTest : public ::testing::TestWithParam<DeterminismCase> {};

TEST_P(BmpDeterminismTest, SameFileGivesTheSamePixelsWhateverTheHeapHeld)
{
    CTestDir dir;
    std::vector<std::vector<win::COLORREF>> results;
    for (const int pattern : {0, 0xAA, 0x55, 0xFF, 0x01}) {
        const CHeapPattern heap(pattern);
        QString error;
        const std::optional<CBitmapSurface> surface = Load(dir, GetParam().bytes, &error);
        ASSERT_TRUE(surface) << error.toStdString();
        results.push_back(AllPixels(*surface));
    }
    for (size_t i = 1; i < results.size(); ++i)
        EXPECT_EQ(results[i], results[0]) << "heap pattern #" << i;
}

INSTANTIATE_TEST_SUITE_P(BmpFiles, BmpDeterminismTest, ::testing::ValuesIn(DeterminismCases()),
                         [](const ::testing::TestParamInfo<DeterminismCase>& testInfo) { return std::string(testInfo.param.name); });

TEST(BmpDeterminismTest, PixelsAnRleStreamSkipsArePaletteEntryZero)
{
    CTestDir dir;
    const CHeapPattern heap(0xAA);
    const std::optional<CBitmapSurface> surface = Load(dir, Rle(8, 64, 48, Hex("4003 0001")));
    ASSERT_TRUE(surface);
    EXPECT_EQ(surface->GetPixel(5, 47), SixteenColours()[3]);
    EXPECT_EQ(surface->GetPixel(5, 0), win::MakeColorRef(255, 255, 255));
    EXPECT_EQ(surface->GetPixel(63, 20), win::MakeColorRef(255, 255, 255));
}

}  // namespace
