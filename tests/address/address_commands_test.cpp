#include "address/address_commands.h"
#include "address/key_code_reply.h"
#include "address/reply_reader.h"
#include "support/virtual_clock.h"

#include <deque>

#include <gtest/gtest.h>

namespace {

QByteArray Hex(const char* text) { return QByteArray::fromHex(text); }

// A reader that hands out a scripted reply one byte per call; once the script
// is used up, or for each 'x' in it, the read fails as a time-out would.
struct ScriptedReader {
    explicit ScriptedReader(const QByteArray& script) : bytes(script.begin(), script.end()) {}
    int operator()(char* buffer, int) {
        ++reads;
        if (bytes.empty())
            return 0;
        const char next = bytes.front();
        bytes.pop_front();
        if (next == 'x')
            return 0;
        *buffer = next;
        return 1;
    }
    std::deque<char> bytes;
    int reads = 0;
};

}  // namespace

TEST(AddressCommands, BytesOfEveryCommand)
{
    EXPECT_EQ(InitializeCommand(), Hex("1B40"));
    EXPECT_EQ(KeyCodeListCommand(), Hex("1D284C040030404B43"));
    EXPECT_EQ(DeleteImageCommand({'0', '7'}), Hex("1D284C0400304230" "37"));
    EXPECT_EQ(DeleteAllImagesCommand(), Hex("1D284C05003041434C52"));
    EXPECT_EQ(PrintImageCommand({'1', '0'}), Hex("1D284C0600304531300101"));
    EXPECT_EQ(RemainingCapacityCommand(), Hex("1D284C02003033"));
    EXPECT_EQ(AddressFromText("05 extra"), (NvAddress{'0', '5'}));
    EXPECT_FALSE(AddressFromText("5"));
    EXPECT_EQ(AddressText({'0', ':'}), "0:");
}

TEST(ReplyReader, StopsAtZeroAfterTwentyOneFailuresOrAFullBuffer)
{
    ScriptedReader list(Hex("377240303130320030"));
    EXPECT_EQ(ReadReply(std::ref(list), 90, LeadingZero::EndsReply), Hex("3772403031303200"));

    ScriptedReader silent{QByteArray()};
    EXPECT_EQ(ReadReply(std::ref(silent), 90, LeadingZero::EndsReply), QByteArray());
    EXPECT_EQ(silent.reads, 21);  // a printer that says nothing costs 21 time-outs

    // A leading 00 is the whole reply for the list, skipped for the download
    // dialog, and the capacity query gives up on a first read that fails.
    ScriptedReader zeroFirst(Hex("00377240") + QByteArray("xx") + Hex("00"));
    EXPECT_EQ(ReadReply(std::ref(zeroFirst), 90, LeadingZero::EndsReply), Hex("00"));
    ScriptedReader skipped(Hex("00377240") + QByteArray("xx") + Hex("00"));
    EXPECT_EQ(ReadReply(std::ref(skipped), 256, LeadingZero::Skipped), Hex("37724000"));
    ScriptedReader late(QByteArray("x") + Hex("37310000"));
    EXPECT_EQ(ReadReply(std::ref(late), 256, LeadingZero::EndsReplyAndFirstFailureEnds), QByteArray());
    EXPECT_EQ(late.reads, 1);

    ScriptedReader endless(QByteArray(1000, 'A'));
    EXPECT_EQ(ReadReply(std::ref(endless), 90, LeadingZero::EndsReply).size(), 90);
}

TEST(ReplyReader, LeadingZerosThatNeverEndStopAtTheBuffer)
{
    // Each 00 arrives within the time-out, so no read fails; the download
    // dialog's reading drops them, and they must still end it.
    ScriptedReader zeros(QByteArray(100000, '\0'));
    EXPECT_EQ(ReadReply(std::ref(zeros), 256, LeadingZero::Skipped), QByteArray());
    EXPECT_EQ(zeros.reads, 256);

    // A few are dropped and the reply behind them is read whole.
    ScriptedReader some(QByteArray(10, '\0') + Hex("377240303100"));
    EXPECT_EQ(ReadReply(std::ref(some), 256, LeadingZero::Skipped), Hex("377240303100"));
}

TEST(KeyCodeReply, StrictAndLenientReadings)
{
    struct Case { const char* reply; KeyCodeListOutcome outcome; QStringList strict; QStringList lenient; };
    const Case cases[] = {
        {"3772403031303200", KeyCodeListOutcome::Listed, {"01", "02"}, {"01", "02"}},
        {"37724000", KeyCodeListOutcome::Empty, {}, {}},
        {"377241303100", KeyCodeListOutcome::Incomplete, {"01"}, {"01"}},      // status 41: nothing more asked
        {"37724100", KeyCodeListOutcome::Incomplete, {}, {}},                  // more, none carried
        {"377240303130", KeyCodeListOutcome::Incomplete, {"01"}, {"01"}},     // cut: no 00, half a pair
        {"37724030", KeyCodeListOutcome::Incomplete, {}, {}},
        {"3772404130" "00", KeyCodeListOutcome::Listed, {"A0"}, {"A0"}},       // what the prompt stores, listed
        {"37724030314130" "00", KeyCodeListOutcome::Listed, {"01", "A0"}, {"01", "A0"}},
        {"377240" "3030" "303a" "207e" "00", KeyCodeListOutcome::Listed, {"00", "0:", " ~"}, {"00", "0:", " ~"}},
        {"3772403031" "1f30" "00", KeyCodeListOutcome::Bad, {"01"}, {"01", "\x1f" "0"}},  // below 20
        {"3772403031" "307f" "00", KeyCodeListOutcome::Bad, {"01"}, {"01", "0\x7f"}},     // above 7E
        {"3772403031" "c930" "00", KeyCodeListOutcome::Bad, {"01"}, {"01", "\u00c9" "0"}},
        {"377242303100", KeyCodeListOutcome::Bad, {}, {"01"}},                 // unknown status
        {"3772", KeyCodeListOutcome::Bad, {}, {}},
        {"41424344", KeyCodeListOutcome::Bad, {}, {}},
    };
    for (const Case& c : cases) {
        const KeyCodeList strict = ParseKeyCodeListStrict(Hex(c.reply));
        EXPECT_EQ(strict.outcome, c.outcome) << c.reply;
        if (c.outcome != KeyCodeListOutcome::Bad) {
            EXPECT_EQ(IsKeyCodeListIncomplete(Hex(c.reply)), c.outcome == KeyCodeListOutcome::Incomplete) << c.reply;
        }
        EXPECT_EQ(strict.addresses, c.strict) << c.reply;
        EXPECT_EQ(ParseKeyCodeListLenient(Hex(c.reply)), c.lenient) << c.reply;
    }
}

TEST(KeyCodeReply, RemainingCapacity)
{
    EXPECT_EQ(ParseRemainingCapacity(Hex("37313236323134340" "0")), 262144);
    EXPECT_EQ(ParseRemainingCapacity(Hex("373100")), 0);
    EXPECT_EQ(ParseRemainingCapacity(Hex("3731313233343536373839")), 12345678);  // at most 8 digits
    EXPECT_EQ(ParseRemainingCapacity(Hex("37723132")), 0);
    EXPECT_EQ(ParseRemainingCapacity(QByteArray()), 0);
}

TEST(AddressCommands, AddressesHoldOnlyTheCharactersFrom20To7E)
{
    struct Case {
        QString text;
        bool characters;   // HasOnlyAddressCharacters
        bool address;      // AddressFromText gives one
    };
    const Case cases[] = {
        {"00", true, true},
        {"0:", true, true},         // the 11th automatic address
        {" ~", true, true},         // both ends of the range
        {"A1", true, true},
        {"a1", true, true},
        {"0", true, false},         // too short
        {QString(), true, false},
        {QString::fromUtf8("\xc3\xa9" "0"), false, false},  // Latin-1 but above 7E
        {QString::fromUtf8("\xe2\x82\xac" "1"), false, false},  // outside Latin-1: once sent as '?'
        {QStringLiteral("0\t"), false, false},
        {QStringLiteral("0\x7f"), false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HasOnlyAddressCharacters(c.text), c.characters) << c.text.toStdString();
        EXPECT_EQ(AddressFromText(c.text).has_value(), c.address) << c.text.toStdString();
    }
    EXPECT_EQ(AddressFromText(" ~"), (NvAddress{' ', '~'}));
}

TEST(KeyCodeReply, OnlyAWholeCapacityReplyCountsAsAnAnswer)
{
    EXPECT_TRUE(IsCapacityReply(Hex("3731323632313434" "00")));
    EXPECT_TRUE(IsCapacityReply(Hex("373130" "00")));  // 0 bytes free is an answer
    EXPECT_FALSE(IsCapacityReply(Hex("3731" "00")));   // no digits
    EXPECT_FALSE(IsCapacityReply(Hex("37313132")));    // cut short
    EXPECT_FALSE(IsCapacityReply(Hex("37313141" "00")));
    EXPECT_FALSE(IsCapacityReply(Hex("3FA55AC3817E00")));  // garbage
    EXPECT_FALSE(IsCapacityReply(QByteArray()));
}

TEST(ReplyReader, ADribblingPrinterIsCutOffAtTheTotalBound)
{
    // Every read delivers a byte but takes its full time-out (1,000 ms on
    // the clock), and the reply never ends: before the bound, 256 reads.
    CVirtualClock clock;
    const qint64 start = clock.NowMs();
    int reads = 0;
    const QByteArray reply = ReadReply(
        [&](char* buffer, int) {
            ++reads;
            Clock().Sleep(1000);
            *buffer = '9';
            return 1;
        },
        256, LeadingZero::Skipped);
    EXPECT_EQ(reads, kReplyTotalMs / 1000);
    EXPECT_EQ(reply.size(), reads);
    EXPECT_LE(clock.NowMs() - start, kReplyTotalMs + 1000);
}
