#include "transport/legacy_windows.h"

#include <gtest/gtest.h>

namespace {

TEST(LegacyWindows, FollowsTheVersionWordRule)
{
    struct Case {
        quint32 word;
        bool legacy;
    };
    const Case cases[] = {
        {0x00000000u, true},   // top bit clear, upper half 0
        {0x0000FFFFu, true},
        {0x00010000u, false},  // top bit clear, upper half not 0
        {0x7FFF0005u, false},
        {0x80000004u, true},   // top bit set, major 4
        {0x80FF00FFu, true},   // top bit set, major 255: the upper bits do not matter
        {0x80000003u, true},   // top bit set, major below 4, bits 16-30 clear
        {0x80010003u, false},  // ... one of bits 16-30 set
        {0xC0000003u, false},  // bit 30
        {0xFFFF0000u, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsLegacyWindows(c.word), c.legacy) << std::hex << c.word;
}

TEST(LegacyWindows, ThisSystemIsNeverTheOlderLine)
{
    EXPECT_FALSE(IsLegacyWindows(SystemVersionWord()));
}

}  // namespace
