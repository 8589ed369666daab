#include "logos/logo_value_text.h"

namespace {

// Reads a number the way C's atoi does on the characters at [start, start +
// length): leading blanks, an optional sign, then digits up to the first
// other character. Characters beyond the text read as its end.
int AtoiAt(const QString& text, qsizetype start, qsizetype length)
{
    const QString field = text.mid(start, length);
    qsizetype i = 0;
    while (i < field.size() && (field[i] == ' ' || field[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < field.size() && (field[i] == '+' || field[i] == '-')) {
        negative = field[i] == '-';
        ++i;
    }
    int value = 0;
    for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i)
        value = value * 10 + (field[i].unicode() - '0');
    return negative ? -value : value;
}

}  // namespace

QString FormatLogoValue(const LogoEntry& entry)
{
    return entry.path + QString::asprintf(",%03d,%03d,%03d,%d", entry.threshold, entry.rValue, entry.lValue, entry.colorMode);
}

LogoValue ParseLogoValue(const QString& text)
{
    LogoValue value;
    const qsizetype comma = text.indexOf(',');
    if (comma < 0) {
        value.path = text;
        return value;
    }
    value.path = text.left(comma);
    value.threshold = AtoiAt(text, comma + 1, 3);
    value.rValue = AtoiAt(text, comma + 5, 3);
    value.lValue = AtoiAt(text, comma + 9, 3);
    value.colorMode = AtoiAt(text, comma + 13, 1);
    return value;
}
