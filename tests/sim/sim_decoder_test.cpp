#include "sim_test_support.h"

#include <gtest/gtest.h>

namespace {

const char kDotExample[] = "1B 72 00 1B 2A 00 03 00 FF 00 00 0D 1B 72 01 1B 2A 00 03 00 00 80 00 1B 4A 10";

QByteArray HeaderBlock(int number)
{
    QByteArray block = QStringLiteral("----- Logo : %1 -----\n").arg(number).toLatin1();
    return block + QByteArray(30 - block.size(), '\0');
}

QByteArray Define01() { return TwoColorDefine('0', '1', 10, 2, {{0, 0}, {9, 0}}, {{1, 0}}); }
QByteArray Define02() { return TwoColorDefine('0', '2', 10, 2, {{0, 1}}); }

// Everything a stream left behind, in one line that a table can state.
std::string Summary(const CoreHarness& h)
{
    QStringList stored;
    for (const SimStoredImage& image : h.core->StoredImages())
        stored << QStringLiteral("%1:%2x%3").arg(image.name).arg(image.dots.Width()).arg(image.dots.Height());
    QStringList prints;
    for (const SimPrint& print : h.core->Prints()) {
        QString text = print.name;
        if (print.mode >= 0)
            text += QStringLiteral(" m%1").arg(print.mode);
        if (print.scaleX != 1 || print.scaleY != 1)
            text += QStringLiteral(" s%1x%2").arg(print.scaleX).arg(print.scaleY);
        if (!print.header.isEmpty())
            text += QStringLiteral(" '%1'").arg(print.header);
        if (!print.found)
            text += QStringLiteral(" missing");
        prints << text;
    }
    const SimCounters counters = h.core->Counters();
    return QStringLiteral("replies=[%1] stored=[%2] prints=[%3] refused=%4 unknown=%5 abandoned=%6")
        .arg(HexText(h.replies), stored.join(','), prints.join(','))
        .arg(counters.commandsRefused).arg(counters.unknownBytes).arg(counters.commandsAbandoned)
        .toStdString();
}

struct DecodeCase {
    const char* name;
    PrinterKind kind;
    QByteArray stream;
    const char* expected;
    qint64 capacity = -1;
};

void PrintTo(const DecodeCase& c, std::ostream* out)
{
    *out << c.name;
}

class SimDecoder : public ::testing::TestWithParam<DecodeCase> {};

// Each stream is decoded whole, byte by byte and in random pieces; all three
// must leave exactly the expected state.
TEST_P(SimDecoder, LeavesTheExpectedStateWhateverTheSplit)
{
    const DecodeCase& c = GetParam();
    for (Split split : {Split::Whole, Split::ByteByByte, Split::Random}) {
        SimOptions options;
        options.capacity = c.capacity;
        CoreHarness h(c.kind, options);
        FeedSplit(*h.session, c.stream, split, 7);
        EXPECT_EQ(Summary(h), c.expected) << "split " << static_cast<int>(split);
        EXPECT_TRUE(h.session->IsIdle());
        EXPECT_EQ(h.core->Counters().bytesReceived, c.stream.size());
    }
}

const DecodeCase kCases[] = {
    // Two-colour printers.
    {"CapacityWhenEmpty", PrinterKind::TwoColor, Hex("1B 40") + CapacityCommand(),
     "replies=[37 31 32 36 32 31 34 34 00] stored=[] prints=[] refused=0 unknown=0 abandoned=0"},
    {"ListWhenEmpty", PrinterKind::TwoColor, Hex("1B 40") + ListKeysCommand(),
     "replies=[37 72 40 00] stored=[] prints=[] refused=0 unknown=0 abandoned=0"},
    {"StoreTwoThenListAndCapacity", PrinterKind::TwoColor, Define01() + Define02() + ListKeysCommand() + CapacityCommand(),
     "replies=[37 72 40 30 31 30 32 00 37 31 32 36 32 30 39 30 00] stored=[01:16x2,02:16x2] prints=[] refused=0 "
     "unknown=0 abandoned=0"},
    {"RedefineMovesToTheEnd", PrinterKind::TwoColor, Define01() + Define02() + Define01() + ListKeysCommand(),
     "replies=[37 72 40 30 32 30 31 00] stored=[02:16x2,01:16x2] prints=[] refused=0 unknown=0 abandoned=0"},
    {"DeleteOne", PrinterKind::TwoColor, Define01() + Define02() + Hex("1D 28 4C 04 00 30 42 30 31") + ListKeysCommand(),
     "replies=[37 72 40 30 32 00] stored=[02:16x2] prints=[] refused=0 unknown=0 abandoned=0"},
    {"DeleteAllOnlyWithItsLetters", PrinterKind::TwoColor,
     Define01() + Hex("1D 28 4C 05 00 30 41 43 4C 58") + ListKeysCommand() + Hex("1D 28 4C 05 00 30 41 43 4C 52")
         + ListKeysCommand(),
     "replies=[37 72 40 30 31 00 37 72 40 00] stored=[] prints=[] refused=0 unknown=10 abandoned=0"},
    {"PrintByAddress", PrinterKind::TwoColor,
     Define01() + Hex("1D 28 4C 06 00 30 45 30 31 02 01") + Hex("1D 28 4C 06 00 30 45 30 39 01 01"),
     "replies=[] stored=[01:16x2] prints=[01 s2x1,09 missing] refused=0 unknown=0 abandoned=0"},
    {"PrintWithBadScaleRefused", PrinterKind::TwoColor, Define01() + Hex("1D 28 4C 06 00 30 45 30 31 03 01"),
     "replies=[] stored=[01:16x2] prints=[] refused=1 unknown=0 abandoned=0"},
    {"DefineBeyondCapacityRefused", PrinterKind::TwoColor,
     Define01() + Define02() + TwoColorDefine('0', '3', 10, 2) + TwoColorDefine('0', '4', 10, 2) + ListKeysCommand(),
     "replies=[37 72 40 30 31 30 32 30 33 00] stored=[01:16x2,02:16x2,03:16x2] prints=[] refused=1 unknown=0 "
     "abandoned=0",
     100},
    {"KeyCodeOutsidePrintableRefused", PrinterKind::TwoColor, TwoColorDefine('\0', '1', 10, 2) + ListKeysCommand(),
     "replies=[37 72 40 00] stored=[] prints=[] refused=1 unknown=0 abandoned=0"},
    {"LayoutNotMatchingLengthRefused", PrinterKind::TwoColor,
     Hex("1D 38 4C 0E 00 00 00 30 43 30 30 31 02 10 00 01 00 31 FF 32 00") + ListKeysCommand(),
     "replies=[37 72 40 00] stored=[] prints=[] refused=1 unknown=0 abandoned=0"},
    {"UnknownFunctionSkippedByItsLength", PrinterKind::TwoColor, Hex("1D 28 4C 03 00 30 99 AA") + CapacityCommand(),
     "replies=[37 31 32 36 32 31 34 34 00] stored=[] prints=[] refused=0 unknown=8 abandoned=0"},
    {"GarbageLengthResynchronises", PrinterKind::TwoColor, Hex("1D 38 4C FF FF FF FF 30 43") + CapacityCommand(),
     "replies=[37 31 32 36 32 31 34 34 00] stored=[] prints=[] refused=0 unknown=9 abandoned=0"},
    {"CommandInsideAFalseStartIsFound", PrinterKind::TwoColor, Hex("1D 28 1D 38") + CapacityCommand(),
     "replies=[37 31 32 36 32 31 34 34 00] stored=[] prints=[] refused=0 unknown=4 abandoned=0"},
    {"SingleColourCommandsAreUnknownHere", PrinterKind::TwoColor, Hex("1C 70 01 00") + CapacityCommand(),
     "replies=[37 31 32 36 32 31 34 34 00] stored=[] prints=[] refused=0 unknown=4 abandoned=0"},

    // Single-colour thermal printers.
    {"FsqThenFsp", PrinterKind::Mono,
     Hex("1C 71 02") + MonoRecordOf(9, 1, {{0, 0}, {8, 0}}) + MonoRecordOf(8, 16, {}) + Hex("1C 70 01 00 1C 70 02 03"),
     "replies=[] stored=[1:16x8,2:8x16] prints=[1 m0,2 m3 s2x2] refused=0 unknown=0 abandoned=0"},
    {"SizeModeAsDigit", PrinterKind::Mono, Hex("1C 71 01") + MonoRecordOf(8, 8, {}) + Hex("1C 70 01 32"),
     "replies=[] stored=[1:8x8] prints=[1 m2 s1x2] refused=0 unknown=0 abandoned=0"},
    {"HeaderBlockInFrontOfFsp", PrinterKind::Mono, HeaderBlock(7) + Hex("1C 70 07 00") + HeaderBlock(300) + Hex("1C 70 2C 01"),
     "replies=[] stored=[] prints=[7 m0 '----- Logo : 7 -----' missing,44 m1 s2x1 '----- Logo : 300 -----' missing] "
     "refused=0 unknown=0 abandoned=0"},
    {"HeaderDroppedByAnotherCommand", PrinterKind::Mono, HeaderBlock(1) + Hex("1B 40 1C 70 01 00"),
     "replies=[] stored=[] prints=[1 m0 missing] refused=0 unknown=0 abandoned=0"},
    {"BrokenHeaderIsUnknownText", PrinterKind::Mono, QByteArray("----- Logo : 7 ---\n") + Hex("1C 70 07 00"),
     "replies=[] stored=[] prints=[7 m0 missing] refused=0 unknown=19 abandoned=0"},
    {"FsqReplacesEverything", PrinterKind::Mono,
     Hex("1C 71 02") + MonoRecordOf(8, 8, {}) + MonoRecordOf(8, 8, {}) + Hex("1C 71 01") + MonoRecordOf(16, 8, {}),
     "replies=[] stored=[1:16x8] prints=[] refused=0 unknown=0 abandoned=0"},
    {"FsqBeyondCapacityRefusedAndMemoryKept", PrinterKind::Mono,
     Hex("1C 71 01") + MonoRecordOf(8, 8, {}) + Hex("1C 71 02") + MonoRecordOf(64, 64, {}) + MonoRecordOf(64, 64, {})
         + Hex("1C 70 01 00"),
     "replies=[] stored=[1:8x8] prints=[1 m0] refused=1 unknown=0 abandoned=0", 1000},
    {"FsqWithEmptyRecordRefused", PrinterKind::Mono, Hex("1C 71 02 00 00 01 00") + MonoRecordOf(8, 8, {}),
     "replies=[] stored=[] prints=[] refused=1 unknown=0 abandoned=0"},
    {"FsqOfNoImagesRefused", PrinterKind::Mono, Hex("1C 71 00 1C 70 01 00"),
     "replies=[] stored=[] prints=[1 m0 missing] refused=1 unknown=0 abandoned=0"},
    {"FspWithBadModeIsGarbage", PrinterKind::Mono, Hex("1C 70 01 09"),
     "replies=[] stored=[] prints=[] refused=0 unknown=4 abandoned=0"},

    // Impact printers.
    {"EscG0ThenEscG", PrinterKind::DotMode, DotDefine({Hex(kDotExample), QByteArray()}) + Hex("1B 67 01 1B 67 02 1B 67 03"),
     "replies=[] stored=[1:3x8,2:0x0] prints=[1,2,3 missing] refused=0 unknown=0 abandoned=0"},
    {"EscG0OfNoImagesRefused", PrinterKind::DotMode, Hex("1B 67 00 00 1B 40"),
     "replies=[] stored=[] prints=[] refused=1 unknown=0 abandoned=0"},
    {"EscG0BeyondCapacityReadAndDropped", PrinterKind::DotMode, DotDefine({Hex(kDotExample)}) + Hex("1B 67 01"),
     "replies=[] stored=[] prints=[1 missing] refused=1 unknown=0 abandoned=0", 20},
    {"QueriesAreUnknownHere", PrinterKind::DotMode, CapacityCommand() + Hex("1B 67 01"),
     "replies=[] stored=[] prints=[1 missing] refused=0 unknown=7 abandoned=0"},
};

INSTANTIATE_TEST_SUITE_P(Families, SimDecoder, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<DecodeCase>& param) { return param.param.name; });

TEST(SimDecoderReplies, KeyListLongerThanTheHostsBufferIsSplitWithStatus41)
{
    // 43 pairs fill the host's 90-byte buffer exactly (3 + 86 + 1); the 44th
    // image turns the status to 41.
    for (const int count : {43, 44, 130}) {
        CoreHarness h(PrinterKind::TwoColor);
        QByteArray stream;
        QByteArray pairs;
        for (int i = 0; i < count; ++i) {
            const char kc1 = static_cast<char>('0' + i / 78);
            const char kc2 = static_cast<char>('0' + i % 78);
            stream += TwoColorDefine(kc1, kc2, 8, 1);
            if (i < 43)
                pairs += QByteArray() + kc1 + kc2;
        }
        h.Feed(stream + ListKeysCommand());
        EXPECT_EQ(h.core->StoredImages().size(), static_cast<size_t>(count));
        EXPECT_EQ(h.replies.size(), 90) << count;
        EXPECT_EQ(h.replies, Hex(count > 43 ? "37 72 41" : "37 72 40") + pairs + '\0') << count;
    }
}

TEST(SimDecoderReplies, RepliesLeaveBeforeTheRestOfTheInputIsDecoded)
{
    // The reply to a query must not wait for a long define that follows it
    // in the same read.
    CPrinterCore core(PrinterKind::TwoColor, SimOptions());
    QStringList notes;
    QString error;
    ASSERT_TRUE(core.Open(&notes, &error));
    size_t storedWhenReplied = 99;
    CStreamSession session(core, "test", [&](const QByteArray&) { storedWhenReplied = core.StoredImages().size(); });
    session.Feed(CapacityCommand() + Define01());
    EXPECT_EQ(storedWhenReplied, 0u);
    EXPECT_EQ(core.StoredImages().size(), 1u);
}

}  // namespace
