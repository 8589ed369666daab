#include "sim_test_support.h"

#include "imaging/bitmap_surface.h"
#include "imaging/raster_converter.h"
#include "sim/nv_image_decode.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// The grid as rows of '.', 'K' (black) and 'R' (red).
QStringList Rows(const CDotGrid& grid)
{
    QStringList rows;
    for (int y = 0; y < grid.Height(); ++y) {
        QString row;
        for (int x = 0; x < grid.Width(); ++x)
            row += QStringLiteral(".KR")[grid.At(x, y)];
        rows << row;
    }
    return rows;
}

TEST(SimImageDecode, KnownRecordsAndStreams)
{
    struct Case {
        const char* name;
        std::optional<CDotGrid> (*decode)(QByteArrayView, QString*);
        QByteArray bytes;
        QStringList rows;
        int unitWidth;
        int unitHeight;
    };
    const Case cases[] = {
        {"mono 9 x 1 black", DecodeMonoRecord, Hex("02 00 01 00 80 80 80 80 80 80 80 80 80 00 00 00 00 00 00 00"),
         {"KKKKKKKKK.......", "................", "................", "................", "................",
          "................", "................", "................"},
         1, 1},
        {"mono column of two bytes", DecodeMonoRecord, Hex("01 00 02 00 01 80") + QByteArray(14, '\0'),
         {"........", "........", "........", "........", "........", "........", "........", "K.......",
          "K.......", "........", "........", "........", "........", "........", "........", "........"},
         1, 1},
        {"two-colour 10 x 2", DecodeTwoColorDefine,
         Hex("1D 38 4C 14 00 00 00 30 43 30 30 31 02 10 00 02 00 31 80 40 00 00 32 40 00 00 00"),
         {"KR.......K......", "................"}, 1, 1},
        {"two-colour black over red", DecodeTwoColorDefine,
         Hex("1D 38 4C 0E 00 00 00 30 43 30 30 31 02 08 00 01 00 31 80 32 C0"), {"KR......"}, 1, 1},
        {"dot single 3 x 8", DecodeDotStream,
         Hex("1B 72 00 1B 2A 00 03 00 FF 00 00 0D 1B 72 01 1B 2A 00 03 00 00 80 00 1B 4A 10"),
         {"KR.", "K..", "K..", "K..", "K..", "K..", "K..", "K.."}, 2, 2},
        {"dot double, line cut short by the end", DecodeDotStream, Hex("1B 72 00 1B 2A 01 05 00 81 81"),
         {"KK", "..", "..", "..", "..", "..", "..", "KK"}, 1, 2},
    };
    for (const Case& c : cases) {
        QString why;
        const std::optional<CDotGrid> grid = c.decode(c.bytes, &why);
        ASSERT_TRUE(grid) << c.name << ": " << why.toStdString();
        EXPECT_EQ(Rows(*grid), c.rows) << c.name;
        EXPECT_EQ(grid->UnitWidth(), c.unitWidth) << c.name;
        EXPECT_EQ(grid->UnitHeight(), c.unitHeight) << c.name;
    }
}

TEST(SimImageDecode, RefusesWhatNoPrinterStores)
{
    QByteArray wide = Hex("1B 2A 01 FF FF") + QByteArray(65535, '\x01');  // one line of 65,535 columns ...
    for (int i = 0; i < 3000; ++i)
        wide += Hex("1B 4A 10");  // ... over 3,000 bands: 196 million dots
    struct Case {
        const char* name;
        std::optional<CDotGrid> (*decode)(QByteArrayView, QString*);
        QByteArray bytes;
    };
    const Case cases[] = {
        {"mono shorter than its header says", DecodeMonoRecord, Hex("01 00 01 00 00 00 00")},
        {"mono without dots", DecodeMonoRecord, Hex("00 00 01 00")},
        {"mono header only", DecodeMonoRecord, Hex("01 00")},
        {"two-colour third colour", DecodeTwoColorDefine, Hex("1D 38 4C 0E 00 00 00 30 43 30 30 31 02 08 00 01 00 31 80 33 C0")},
        {"two-colour length off by one", DecodeTwoColorDefine, Hex("1D 38 4C 0F 00 00 00 30 43 30 30 31 02 08 00 01 00 31 80 32 C0 00")},
        {"two-colour three planes", DecodeTwoColorDefine, Hex("1D 38 4C 10 00 00 00 30 43 30 30 31 03 08 00 01 00 31 80 32 C0 31 00")},
        {"dot too many dots", DecodeDotStream, wide},
    };
    for (const Case& c : cases) {
        QString why;
        EXPECT_FALSE(c.decode(c.bytes, &why)) << c.name;
        EXPECT_FALSE(why.isEmpty()) << c.name;
    }
}

// Surfaces of white, black and red (and a few colours that count as ink)
// with their dots, to run through the host's own converter.
CBitmapSurface RandomSurface(int width, int height, std::mt19937& random)
{
    QImage image(width, height, QImage::Format_RGB32);
    const QRgb colours[] = {qRgb(255, 255, 255), qRgb(255, 255, 255), qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(0, 0, 1)};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, colours[std::uniform_int_distribution<int>(0, 4)(random)]);
    return CBitmapSurface::FromImage(image);
}

TEST(SimImageDecode, BandStreamsOfTheHostDecodeToTheirDots)
{
    struct Case {
        int density;  // 0 single, 1 double, 2 quad
        int width;
        int height;
        int gridHeight;
    };
    // Single and double: whole bands of 8 rows. Quad: passes at 0, 1, 9, 10,
    // 18, ..., each reaching 14 rows below its start.
    const Case cases[] = {
        {0, 3, 8, 8}, {0, 7, 10, 16}, {0, 1, 1, 8}, {1, 5, 17, 24}, {1, 40, 16, 16},
        {2, 4, 1, 15}, {2, 6, 10, 24}, {2, 9, 16, 25}, {2, 3, 19, 33}, {2, 11, 37, 51},
    };
    const CRasterConverter converter;
    std::mt19937 random(42);
    for (const Case& c : cases) {
        const CBitmapSurface surface = RandomSurface(c.width, c.height, random);
        const QByteArray stream = c.density == 0   ? converter.MakeDotBandsSingle(surface, c.width, c.height)
                                  : c.density == 1 ? converter.MakeDotBandsDouble(surface, c.width, c.height)
                                                   : converter.MakeDotBandsQuad(surface, c.width, c.height);
        const std::optional<CDotGrid> grid = DecodeDotStream(stream);
        const std::string name = "density " + std::to_string(c.density) + ", " + std::to_string(c.width) + " x "
                                 + std::to_string(c.height);
        ASSERT_TRUE(grid) << name;
        EXPECT_EQ(grid->Width(), c.width) << name;
        EXPECT_EQ(grid->Height(), c.gridHeight) << name;
        EXPECT_EQ(grid->UnitWidth(), c.density == 0 ? 2 : 1) << name;
        EXPECT_EQ(grid->UnitHeight(), c.density == 2 ? 1 : 2) << name;
        for (int y = 0; y < grid->Height(); ++y) {
            for (int x = 0; x < grid->Width(); ++x) {
                const int expected = y < c.height ? CRasterConverter::ClassifyDotPixel(surface, x, y) : 0;
                ASSERT_EQ(grid->At(x, y), expected) << name << " at " << x << "," << y;
            }
        }
    }
}

TEST(SimImageDecode, RecordsOfTheHostDecodeToTheirDots)
{
    const CRasterConverter converter;
    std::mt19937 random(5);
    for (const auto& [width, height] : {std::pair{9, 1}, {8, 9}, {17, 23}, {64, 3}}) {
        const CBitmapSurface surface = RandomSurface(width, height, random);
        const std::optional<QByteArray> record = converter.MakeMonoRecord(surface, width, height);
        ASSERT_TRUE(record);
        const std::optional<CDotGrid> mono = DecodeMonoRecord(*record);
        const std::optional<CDotGrid> two = DecodeTwoColorDefine(converter.MakeTwoColorRecord(surface, width, height, {'0', '1'}, 576));
        ASSERT_TRUE(mono && two);
        for (int y = 0; y < mono->Height(); ++y) {
            for (int x = 0; x < mono->Width(); ++x) {
                const win::COLORREF c = surface.GetPixel(x, y);
                const bool inside = x < width && y < height;
                ASSERT_EQ(mono->At(x, y), inside && c != win::MakeColorRef(255, 255, 255) ? CDotGrid::Black : CDotGrid::White);
                if (y < two->Height()) {
                    ASSERT_EQ(two->At(x, y), inside ? CRasterConverter::ClassifyDotPixel(surface, x, y) : 0);
                }
            }
        }
    }
}

}  // namespace
