// The printer's replies to the two-colour queries: the reply reader over a
// printer that sends any bytes, in any rhythm, with reads that fail, and the
// key-code list and capacity parsers on whatever the reader returns (and on
// the raw input itself). Properties:
// - a reply never exceeds its buffer, holds at most one 00 and only as its
//   last byte, and the reading ends within the buffer's worth of bytes plus
//   21 failed reads, however much or little the printer sends;
// - the strict list parser lists only pairs of address characters (20 to
//   7E, what the tool itself stores) and says Listed exactly
//   when it lists something; the lenient one takes every pair after 37 72;
//   the capacity is the 8-digit number after 37 31 (0 otherwise).
#include "fuzz_support.h"

#include "address/key_code_reply.h"
#include "address/reply_reader.h"

namespace {

constexpr int kMaxFailedReads = 21;
// The script's escapes: FE is a read that fails (the time-out passes without
// a byte), FD takes the next byte literally.
constexpr uint8_t kFailedRead = 0xFE;
constexpr uint8_t kLiteral = 0xFD;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsAddressCharacter(QChar c) { return c.unicode() >= 0x20 && c.unicode() <= 0x7E; }

void CheckParsers(const QByteArray& reply)
{
    const bool listHeader = reply.size() >= 2 && reply[0] == '\x37' && reply[1] == '\x72';
    const KeyCodeList strict = ParseKeyCodeListStrict(reply);
    for (const QString& address : strict.addresses)
        FUZZ_CHECK(address.size() == 2 && IsAddressCharacter(address[0]) && IsAddressCharacter(address[1]));
    if (strict.outcome == KeyCodeListOutcome::Listed)
        FUZZ_CHECK(!strict.addresses.isEmpty() && listHeader && reply[3] != '\0');
    if (strict.outcome == KeyCodeListOutcome::Empty)
        FUZZ_CHECK(strict.addresses.isEmpty() && listHeader);
    if (strict.outcome != KeyCodeListOutcome::Bad)
        FUZZ_CHECK(reply.size() >= 4 && (reply[2] == '\x40' || reply[2] == '\x41'));

    const QStringList lenient = ParseKeyCodeListLenient(reply);
    const qsizetype pairs = listHeader ? std::max<qsizetype>(0, (reply.size() - 3) / 2) : 0;
    FUZZ_CHECK(lenient.size() == pairs);
    for (qsizetype i = 0; i < lenient.size(); ++i) {
        FUZZ_CHECK(lenient[i] == QString::fromLatin1(reply.mid(3 + 2 * i, 2)));
        // Every address the strict reading lists, the lenient one lists too.
        if (i < strict.addresses.size())
            FUZZ_CHECK(strict.addresses[i] == lenient[i]);
    }

    const int capacity = ParseRemainingCapacity(reply);
    int expected = 0;
    if (reply.size() >= 2 && reply[0] == '\x37' && reply[1] == '\x31') {
        for (qsizetype at = 2; at < reply.size() && at < 10 && IsDigit(reply[at]); ++at)
            expected = expected * 10 + (reply[at] - '0');
    }
    FUZZ_CHECK(capacity == expected);
    FUZZ_CHECK(capacity >= 0 && capacity <= 99999999);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const QByteArray raw(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    CheckParsers(raw);

    // The first byte picks the query's reading, the second the buffer: the
    // dialogs' 90 and 256 bytes, or any size up to 300.
    const LeadingZero modes[] = {LeadingZero::EndsReply, LeadingZero::Skipped, LeadingZero::EndsReplyAndFirstFailureEnds};
    const LeadingZero mode = modes[data[0] % 3];
    const int bufferSize = data[1] < 0x40 ? 90 : data[1] < 0x80 ? 256 : (data[1] - 0x80) * 300 / 0x7F;

    size_t at = 2;
    int calls = 0;
    int delivered = 0;
    int failed = 0;
    bool firstFailed = false;
    QByteArray sent;
    const ByteReader reader = [&](char* buffer, int count) {
        FUZZ_CHECK(count == 1);
        ++calls;
        // The printer falls silent when the script ends.
        if (at >= size || data[at] == kFailedRead) {
            ++at;
            if (calls == 1)
                firstFailed = true;
            ++failed;
            return 0;
        }
        if (data[at] == kLiteral && at + 1 < size)
            ++at;
        *buffer = static_cast<char>(data[at++]);
        sent.append(*buffer);
        ++delivered;
        return 1;
    };
    const QByteArray reply = ReadReply(reader, bufferSize, mode);

    FUZZ_CHECK(reply.size() <= bufferSize);
    FUZZ_CHECK(delivered <= std::max(bufferSize, 0));
    FUZZ_CHECK(failed <= kMaxFailedReads);
    const qsizetype zero = reply.indexOf('\0');
    FUZZ_CHECK(zero < 0 || zero == reply.size() - 1);
    // Only bytes the printer sent are stored, in its order: the reply is what
    // was sent, less leading 00 bytes where those are skipped.
    QByteArray kept = sent;
    if (mode == LeadingZero::Skipped) {
        while (!kept.isEmpty() && kept[0] == '\0')
            kept.remove(0, 1);
    }
    FUZZ_CHECK(kept.startsWith(reply));
    if (mode == LeadingZero::EndsReplyAndFirstFailureEnds && firstFailed)
        FUZZ_CHECK(reply.isEmpty() && calls == 1);
    CheckParsers(reply);
    return 0;
}
