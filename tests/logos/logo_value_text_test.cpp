#include "logos/logo_value_text.h"

#include <gtest/gtest.h>

TEST(LogoValueText, FormatsZeroPaddedFields)
{
    LogoEntry entry;
    entry.path = "C:\\logos\\shop.bmp";
    entry.threshold = 120;
    entry.rValue = 100;
    entry.lValue = 85;
    entry.colorMode = 1;
    EXPECT_EQ(FormatLogoValue(entry), "C:\\logos\\shop.bmp,120,100,085,1");
    entry.threshold = 7;
    entry.colorMode = 3;
    EXPECT_EQ(FormatLogoValue(entry), "C:\\logos\\shop.bmp,007,100,085,3");
}

TEST(LogoValueText, ParsesFixedPlacesAfterTheFirstComma)
{
    struct Case { const char* text; const char* path; int threshold, rValue, lValue, colorMode; };
    const Case cases[] = {
        {"/logos/shop.bmp,120,100,085,1", "/logos/shop.bmp", 120, 100, 85, 1},
        {"shop.bmp", "shop.bmp", 0, 0, 0, 0},                 // no comma: the whole text is the path
        {"shop.bmp,12", "shop.bmp", 12, 0, 0, 0},             // fields beyond the end read as 0
        {"my,shop.bmp,120,100,085,1", "my", 0, 0, 0, 0},      // a comma in the path cuts it
        {"a.bmp,359,255,000,2", "a.bmp", 359, 255, 0, 2},
        {"a.bmp,1x0,2 5,-12,9", "a.bmp", 1, 2, -12, 9},       // atoi stops at the first non-digit
    };
    for (const Case& c : cases) {
        const LogoValue value = ParseLogoValue(c.text);
        EXPECT_EQ(value.path, c.path) << c.text;
        EXPECT_EQ(value.threshold, c.threshold) << c.text;
        EXPECT_EQ(value.rValue, c.rValue) << c.text;
        EXPECT_EQ(value.lValue, c.lValue) << c.text;
        EXPECT_EQ(value.colorMode, c.colorMode) << c.text;
    }
}
