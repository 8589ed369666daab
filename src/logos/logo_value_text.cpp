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

bool IsThreeDigits(const QString& text, qsizetype start)
{
    if (start + 3 > text.size())
        return false;
    for (qsizetype i = start; i < start + 3; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
    }
    return true;
}

}  // namespace

QString LogoValueTextProblem(const QString& text)
{
    const qsizetype comma = text.indexOf(',');
    const QString expected = QStringLiteral("expected path,threshold,rValue,lValue,colorMode (e.g. shop.bmp,120,100,085,1)");
    if (comma < 0)
        return QStringLiteral("no numbers after the path; ") + expected;
    struct Field {
        const char* name;
        qsizetype offset;
        int high;
    };
    for (const Field& field : {Field{"threshold", 1, 360}, Field{"rValue", 5, 255}, Field{"lValue", 9, 255}}) {
        const qsizetype start = comma + field.offset;
        const QString shown = text.mid(start, 4);
        if (!IsThreeDigits(text, start))
            return QStringLiteral("%1 \"%2\" is not three digits; ").arg(QLatin1String(field.name), shown) + expected;
        const int value = text.mid(start, 3).toInt();
        if (value > field.high)
            return QStringLiteral("%1 %2 is out of range (0 to %3)").arg(QLatin1String(field.name)).arg(value).arg(field.high);
        if (start + 3 < text.size() && text[start + 3] != ',')
            return QStringLiteral("%1 \"%2\" is not three digits; ").arg(QLatin1String(field.name), shown) + expected;
    }
    if (comma + 13 >= text.size())
        return QStringLiteral("no colorMode; ") + expected;
    return QString();
}

QString FormatLogoValue(const LogoEntry& entry)
{
    return entry.path + QString::asprintf(",%03d,%03d,%03d,%d", entry.threshold, entry.rValue, entry.lValue,
                                           ToStoredNumber(entry.colorMode));
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
    value.colorMode = FromStoredNumber(AtoiAt(text, comma + 13, 1));
    return value;
}

QString LogoPathProblem(const QString& path)
{
    if (path.contains(u'\n') || path.contains(u'\r'))
        return QStringLiteral("The name holds a line break, which a logo list keeps no more than a comma: the line "
                              "would be read as two. Rename the file (or its folder) without line breaks.");
    if (!path.contains(u','))
        return QString();
    return QStringLiteral("The name holds a comma, which the saved logo list cannot keep: the logo would be lost at "
                          "the next start. Rename the file (or its folder) without commas and add it again.");
}
