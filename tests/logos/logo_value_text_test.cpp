#include "logos/logo_value_text.h"

#include <gtest/gtest.h>

TEST(LogoValueText, FormatsZeroPaddedFields)
{
    LogoEntry entry;
    entry.path = "C:\\logos\\shop.bmp";
    entry.threshold = 120;
    entry.rValue = 100;
    entry.lValue = 85;
    entry.colorMode = ColorChoice::Green;
    EXPECT_EQ(FormatLogoValue(entry), "C:\\logos\\shop.bmp,120,100,085,1");
    entry.threshold = 7;
    entry.colorMode = ColorChoice::NotUsed;
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
        EXPECT_EQ(ToStoredNumber(value.colorMode), c.colorMode) << c.text;
    }
}

TEST(LogoValueText, TellsWhatTheWindowCouldNeverHaveWritten)
{
    struct Case { const char* text; const char* problem; };  // empty problem: the window writes such text
    const Case cases[] = {
        {"/logos/shop.bmp,120,100,085,1", ""},
        {"a.bmp,360,255,255,3", ""},
        {"a.bmp,000,000,000,9", ""},        // colour modes beyond 3: pixels unchanged
        {"a.bmp,000,000,000,-1", ""},       // a mode written with %d
        {"a.bmp,361,000,000,0", "threshold 361 is out of range (0 to 360)"},
        {"a.bmp,999999999999,100,100,1", "threshold 999 is out of range"},
        {"a.bmp,000,256,000,0", "rValue 256 is out of range (0 to 255)"},
        {"a.bmp,000,000,999,0", "lValue 999 is out of range"},
        {"a.bmp,000,-10,000,0", "rValue \"-10,\" is not three digits"},
        {"a.bmp,0,0,0,0", "threshold \"0,0,\" is not three digits"},
        {"a.bmp,000,000,000", "no colorMode"},
        {"a.bmp,000,000,000,", "no colorMode"},
        {"a.bmp", "no numbers after the path"},
    };
    for (const Case& c : cases) {
        const QString problem = LogoValueTextProblem(c.text);
        if (*c.problem == '\0')
            EXPECT_TRUE(problem.isEmpty()) << c.text << ": " << problem.toStdString();
        else
            EXPECT_TRUE(problem.startsWith(QLatin1String(c.problem))) << c.text << ": " << problem.toStdString();
    }
    // What FormatLogoValue writes always passes.
    LogoEntry entry;
    entry.path = "/logos/x.bmp";
    entry.threshold = 359;
    entry.rValue = 255;
    entry.lValue = 7;
    entry.colorMode = ColorChoice::NotUsed;
    EXPECT_TRUE(LogoValueTextProblem(FormatLogoValue(entry)).isEmpty());
}

TEST(LogoValueText, APathWithACommaCannotBeStored)
{
    EXPECT_TRUE(LogoPathProblem("/logos/shop.bmp").isEmpty());
    EXPECT_TRUE(LogoPathProblem("/logos/shop,front.bmp").contains("comma"));
    EXPECT_FALSE(LogoPathProblem("/a,b/shop.bmp").isEmpty());  // a folder's comma counts too
}
