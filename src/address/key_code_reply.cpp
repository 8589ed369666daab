#include "address/key_code_reply.h"

#include <algorithm>

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsAddressByte(char c) { return c >= 0x20 && c <= 0x7E; }

QString PairText(const QByteArray& reply, qsizetype at)
{
    return QString::fromLatin1(reply.constData() + at, 2);
}

}  // namespace

KeyCodeList ParseKeyCodeListStrict(const QByteArray& reply)
{
    KeyCodeList result;
    if (reply.size() < 4 || reply[0] != '\x37' || reply[1] != '\x72' || (reply[2] != '\x40' && reply[2] != '\x41'))
        return result;
    if (reply[3] == '\0') {
        result.outcome = KeyCodeListOutcome::Empty;
        return result;
    }
    for (qsizetype at = 3; at < reply.size() - 1; at += 2) {
        if (!IsAddressByte(reply[at]) || !IsAddressByte(reply[at + 1]))
            return result;  // Bad, with the pairs taken so far
        result.addresses.append(PairText(reply, at));
    }
    // A reply cut off before its first pair names no address either.
    result.outcome = result.addresses.isEmpty() ? KeyCodeListOutcome::Empty : KeyCodeListOutcome::Listed;
    return result;
}

QStringList ParseKeyCodeListLenient(const QByteArray& reply)
{
    QStringList addresses;
    if (reply.size() < 2 || reply[0] != '\x37' || reply[1] != '\x72')
        return addresses;
    for (qsizetype at = 3; at < reply.size() - 1; at += 2)
        addresses.append(PairText(reply, at));
    return addresses;
}

int ParseRemainingCapacity(const QByteArray& reply)
{
    if (reply.size() < 2 || reply[0] != '\x37' || reply[1] != '\x31')
        return 0;
    int value = 0;
    for (qsizetype at = 2; at < reply.size() && at < 2 + 8 && IsDigit(reply[at]); ++at)
        value = value * 10 + (reply[at] - '0');
    return value;
}

bool IsCapacityReply(const QByteArray& reply)
{
    if (reply.size() < 4 || reply[0] != '\x37' || reply[1] != '\x31' || reply.back() != '\0')
        return false;
    const QByteArrayView digits = QByteArrayView(reply).sliced(2, reply.size() - 3);
    return std::all_of(digits.begin(), digits.end(), IsDigit);
}
