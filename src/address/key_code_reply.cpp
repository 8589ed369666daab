#include "address/key_code_reply.h"

#include "kinds/command_bytes.h"

#include <algorithm>

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsAddressByte(char c) { return c >= 0x20 && c <= 0x7E; }

// The two bytes a reply of the kind starts with: 37 and the kind's byte.
bool HasReplyHead(const QByteArray& reply, unsigned char kind)
{
    return reply.size() >= 2 && reply[0] == cmd::Char(cmd::kReplyHead) && reply[1] == cmd::Char(kind);
}

QString PairText(const QByteArray& reply, qsizetype at)
{
    return QString::fromLatin1(reply.constData() + at, 2);
}

}  // namespace

bool IsKeyCodeListIncomplete(const QByteArray& reply)
{
    if (!HasReplyHead(reply, cmd::kReplyKeyList))
        return false;
    return reply.size() < 4 || reply[2] == cmd::Char(cmd::kKeyListMore) || reply.back() != '\0';
}

KeyCodeList ParseKeyCodeListStrict(const QByteArray& reply)
{
    KeyCodeList result;
    if (reply.size() < 4 || !HasReplyHead(reply, cmd::kReplyKeyList)
        || (reply[2] != cmd::Char(cmd::kKeyListComplete) && reply[2] != cmd::Char(cmd::kKeyListMore)))
        return result;
    // A pair is taken only when both its bytes came; 00 first is no pair.
    for (qsizetype at = 3; at < reply.size() - 1 && reply[3] != '\0'; at += 2) {
        if (!IsAddressByte(reply[at]) || !IsAddressByte(reply[at + 1]))
            return result;  // Bad, with the pairs taken so far
        result.addresses.append(PairText(reply, at));
    }
    if (IsKeyCodeListIncomplete(reply))
        result.outcome = KeyCodeListOutcome::Incomplete;
    else
        result.outcome = result.addresses.isEmpty() ? KeyCodeListOutcome::Empty : KeyCodeListOutcome::Listed;
    return result;
}

QStringList ParseKeyCodeListLenient(const QByteArray& reply)
{
    QStringList addresses;
    if (!HasReplyHead(reply, cmd::kReplyKeyList))
        return addresses;
    for (qsizetype at = 3; at < reply.size() - 1; at += 2)
        addresses.append(PairText(reply, at));
    return addresses;
}

int ParseRemainingCapacity(const QByteArray& reply)
{
    if (!HasReplyHead(reply, cmd::kReplyCapacity))
        return 0;
    int value = 0;
    for (qsizetype at = 2; at < reply.size() && at < 2 + 8 && IsDigit(reply[at]); ++at)
        value = value * 10 + (reply[at] - '0');
    return value;
}

bool IsCapacityReply(const QByteArray& reply)
{
    if (reply.size() < 4 || !HasReplyHead(reply, cmd::kReplyCapacity) || reply.back() != '\0')
        return false;
    const QByteArrayView digits = QByteArrayView(reply).sliced(2, reply.size() - 3);
    return std::all_of(digits.begin(), digits.end(), IsDigit);
}
