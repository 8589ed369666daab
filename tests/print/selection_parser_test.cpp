#include "print/print_commands.h"
#include "print/selection_parser.h"

#include <gtest/gtest.h>

TEST(SelectionParser, ReadsNumbersAndRanges)
{
    struct Case { const char* text; std::vector<int> numbers; };
    const Case cases[] = {
        {"1-2", {1, 2}},
        {"3,4,5", {3, 4, 5}},
        {"7", {7}},
        {"1-3-5", {1, 2, 3, 4, 5}},
        {"2-4,9", {2, 3, 4, 9}},
        {"5-3", {}},
        {"3-", {3}},
        {"3,3", {3, 3}},
        {"1,3-,5", {1, 2, 3, 5}},
        {"0", {0}},
        {"007,300", {7, 300}},
        {"", {}},
        {",,", {}},
    };
    for (const Case& c : cases) {
        const auto parsed = ParseSelection(c.text);
        ASSERT_TRUE(parsed) << c.text;
        EXPECT_EQ(*parsed, c.numbers) << c.text;
    }
}

TEST(SelectionParser, RefusesMalformedAndOversizedSelections)
{
    for (const char* text : {"1-2  3", "1234", "12a", "a", "1.5", "-3", "1--2", "3-,5", "1-255,1", "0-999"})
        EXPECT_FALSE(ParseSelection(text)) << text;
    EXPECT_EQ(ParseSelection("1-255")->size(), 255u);
}

TEST(PrintCommands, HeaderBlockAndSizeModes)
{
    const QByteArray header = HeaderBlock(7);
    ASSERT_EQ(header.size(), 30);
    EXPECT_EQ(header.left(21), "----- Logo : 7 -----\n");
    EXPECT_EQ(header.mid(21), QByteArray(9, '\0'));
    EXPECT_EQ(HeaderBlock(300).left(23), "----- Logo : 300 -----\n");
    EXPECT_EQ(PrintNvBitImageCommand(300, PrintSizeMode::DoubleBoth), QByteArray::fromHex("1C702C03"));
    EXPECT_EQ(PrintNvBitImageCommand(0, PrintSizeMode::Normal), QByteArray::fromHex("1C700000"));
    EXPECT_EQ(PrintDotImageCommand(10), QByteArray::fromHex("1B670A"));
}
