#include "logos/logo_list.h"
#include "support/bmp_writer.h"
#include "support/message_recorder.h"
#include "support/temp_dir.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

// Writes a white 24-bit BMP of the given size and returns its path.
QString WhiteBmp(const CTestDir& dir, const QString& name, int width, int height)
{
    const QString path = dir.Path(name);
    BmpSpec spec;
    spec.width = width;
    spec.height = height;
    spec.pixel = [](int, int) { return win::MakeColorRef(255, 255, 255); };
    EXPECT_TRUE(WriteBmp(path, spec));
    return path;
}

const LogoSettings kSettings{120, 100, 85, ColorChoice::Green};

// A list with limits, the folder for its files and the messages it shows.
struct LimitedList {
    explicit LimitedList(const LogoLimits& limits) { list.SetLimits(limits); }
    CTestDir dir;
    CMessageRecorder messages;
    CLogoList list;
};

}  // namespace

TEST(LogoListSize, CountsOnlyThePrintableWidthRoundedUpToBytes)
{
    struct Case { int width, height, receiptWidth, bytes; };
    const Case cases[] = {
        {600, 100, 512, 6400},  // wider than the paper: only 512 dots count
        {100, 50, 512, 650},
        {1, 1, 512, 1},
        {8, 3, 512, 3},
        {9, 3, 512, 6},
        {100, 10, -1, 130},     // a negative width compares as a huge unsigned one
        {100, 10, 0, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LogoByteSize(c.width, c.height, c.receiptWidth), c.bytes) << c.width << "x" << c.height;
}

TEST(LogoList, LoadedEntryKeepsPathNameAndSettings)
{
    CTestDir dir;
    const QString path = WhiteBmp(dir, "shop.bmp", 600, 100);
    int status = 0;
    auto entry = CLogoList::LoadLogoFile(7, path, {120, 300, 85, ColorChoice::Green}, 512, &status);
    ASSERT_TRUE(entry);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(entry->number, 7);
    EXPECT_EQ(entry->byteSize, 6400);
    EXPECT_EQ(entry->name, "shop.bmp");
    EXPECT_EQ(entry->path, path);
    EXPECT_EQ(entry->threshold, 120);
    EXPECT_EQ(entry->rValue, 300 & 0xFF);  // kept to its low 8 bits
    EXPECT_EQ(entry->lValue, 85);
    EXPECT_EQ(entry->colorMode, ColorChoice::Green);
    EXPECT_EQ(LogoFileName("C:\\logos\\shop.bmp"), "shop.bmp");
    EXPECT_EQ(LogoFileName("plain.bmp"), "plain.bmp");
}

TEST(LogoList, UnloadableFileIsReportedAndSkipped)
{
    LimitedList limited({10, 100, 512});
    auto& [dir, messages, list] = limited;
    QString reason;
    EXPECT_EQ(list.AddLogoFile(dir.Path("missing.bmp"), kSettings, &reason), kLogoLoadFailed);
    EXPECT_FALSE(reason.isEmpty());
    // The caption stays; the second line says which file and why.
    EXPECT_EQ(messages.Texts(), QStringList({"Failed to load image file!\n" + dir.Path("missing.bmp") + ": " + reason}));
    EXPECT_TRUE(list.IsEmpty());

    QFile notABitmap(dir.Path("text.bmp"));
    ASSERT_TRUE(notABitmap.open(QIODevice::WriteOnly));
    notABitmap.write("hello");
    notABitmap.close();
    messages.Clear();
    EXPECT_EQ(list.AddLogoFile(notABitmap.fileName(), kSettings), kLogoLoadFailed);
    EXPECT_EQ(messages.Texts(), QStringList({"Failed to load image file!\n" + notABitmap.fileName() + ": not a BMP file"}));
}

TEST(LogoList, CountLimitRefusesEveryFurtherFile)
{
    LimitedList limited({3, 100, 512});
    auto& [dir, messages, list] = limited;
    const QString path = WhiteBmp(dir, "a.bmp", 8, 8);
    ASSERT_EQ(list.AddLogoFile(path, kSettings), kLogoAdded);
    ASSERT_EQ(list.AddLogoFile(path, kSettings), kLogoAdded);
    // DOWNMAX - 1 entries, three more files: the first fits, the others are refused.
    EXPECT_EQ(list.AddLogoFile(path, kSettings), kLogoAdded);
    EXPECT_EQ(list.AddLogoFile(path, kSettings), kLogoCountRefused);
    EXPECT_EQ(list.AddLogoFile(path, kSettings), kLogoCountRefused);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(messages.Texts(), QStringList({"Don't Read files any more!", "Don't Read files any more!"}));
}

TEST(LogoList, MemoryLimitAcceptsExactlyTheMemorySize)
{
    LimitedList limited({10, 1, 512});
    auto& [dir, messages, list] = limited;  // 1 KByte
    // 8 dots wide: one byte per line, so the height is the byte count.
    ASSERT_EQ(list.AddLogoFile(WhiteBmp(dir, "a.bmp", 8, 1000), kSettings), kLogoAdded);
    EXPECT_EQ(list.AddLogoFile(WhiteBmp(dir, "b.bmp", 8, 25), kSettings), kLogoMemoryRefused);
    EXPECT_EQ(list.AddLogoFile(WhiteBmp(dir, "c.bmp", 8, 24), kSettings), kLogoAdded);
    EXPECT_EQ(list.GetTotalLogoBytes(), 1024u);
    EXPECT_EQ(messages.Texts(), QStringList({"NV-bitimage area too small"}));
}

TEST(LogoList, NeverHoldsMoreThan255Entries)
{
    LimitedList limited({1000, 100000, 512});
    auto& [dir, messages, list] = limited;
    const QString path = WhiteBmp(dir, "a.bmp", 1, 1);
    for (int i = 0; i < 255; ++i)
        ASSERT_EQ(list.AddLogoFile(path, kSettings), kLogoAdded);
    EXPECT_EQ(list.At(254).number, 255);
    EXPECT_EQ(list.AddLogoFile(path, kSettings), kLogoCountRefused);
}

TEST(LogoList, RemovingRenumbersAndClearsTheCurrentEntry)
{
    LimitedList limited({10, 100, 512});
    auto& [dir, messages, list] = limited;
    for (const char* name : {"1.bmp", "2.bmp", "3.bmp", "4.bmp", "5.bmp"})
        ASSERT_EQ(list.AddLogoFile(WhiteBmp(dir, name, 8, 8), kSettings), kLogoAdded);
    list.SetCurrentEntryNumber(3);
    // Rows 2 and 4 selected: removed from the highest row down, as the window does.
    list.RemoveLogo(4);
    list.RemoveLogo(2);
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.CurrentEntryNumber(), -1);
    const char* expected[] = {"1.bmp", "3.bmp", "5.bmp"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(list.At(i).number, i + 1);
        EXPECT_EQ(list.At(i).name, expected[i]);
    }
    ASSERT_NE(list.FindByNumber(2), nullptr);
    EXPECT_EQ(list.FindByNumber(2)->name, "3.bmp");
    EXPECT_EQ(list.FindByNumber(4), nullptr);
    list.FreeAllLogos();
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(list.GetTotalLogoBytes(), 0u);
}

TEST(LogoList, SummaryShiftsTheTotalNotTheShownSizes)
{
    CTestDir dir;
    CLogoList list;
    list.SetLimits({50, 384, 576});
    // Two logos of 600 bytes show "0" KByte each, but 1200 bytes total 1 KByte.
    ASSERT_EQ(list.AddLogoFile(WhiteBmp(dir, "a.bmp", 48, 100), kSettings), kLogoAdded);
    ASSERT_EQ(list.AddLogoFile(WhiteBmp(dir, "b.bmp", 48, 100), kSettings), kLogoAdded);
    EXPECT_EQ(list.SummaryText(2), "Logo Files : 2 / 50 \nLogo Size Total : 1 / 384 KByte");
}
