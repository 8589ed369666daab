#include "config/profile_file.h"

#include "framework/atomic_file.h"
#include "framework/regular_file.h"

#include <QFile>
#include <QFileInfo>

#include <climits>
#include <utility>

namespace {

enum class LineKind { Other, Section, Key };

struct ParsedLine {
    LineKind kind = LineKind::Other;
    QStringView name;   // section or key name, trimmed
    QStringView value;  // key value, trimmed
};

// Only ASCII blanks count: Latin-1 0xA0 is a byte of the value like any other.
bool IsBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\v' || c == u'\f';
}

QStringView Trimmed(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

ParsedLine ParseLine(QStringView text)
{
    const QStringView line = Trimmed(text);
    if (line.isEmpty() || line.front() == u';' || line.front() == u'#')
        return {};
    if (line.front() == u'[') {
        const qsizetype close = line.lastIndexOf(u']');
        if (close < 0)
            return {};
        return {LineKind::Section, Trimmed(line.sliced(1, close - 1)), {}};
    }
    const qsizetype equals = line.indexOf(u'=');
    if (equals < 0)
        return {};
    return {LineKind::Key, Trimmed(line.first(equals)), Trimmed(line.sliced(equals + 1))};
}

bool SameName(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool HasLineBreak(const QString& text)
{
    return text.contains(u'\n') || text.contains(u'\r');
}

bool IsLatin1(const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() > 0xFF)
            return false;
    }
    return true;
}

// Why the name cannot be written so that it reads back as itself; empty when it can.
QString CheckName(const QString& name, const char* what)
{
    const QStringView trimmed = Trimmed(name);
    if (trimmed.isEmpty())
        return QStringLiteral("empty %1 name").arg(QLatin1String(what));
    if (HasLineBreak(name) || !IsLatin1(name))
        return QStringLiteral("%1 name \"%2\" holds a line break or a character beyond 8-bit text")
            .arg(QLatin1String(what), name);
    if (trimmed.front() == u'[' || trimmed.front() == u';' || trimmed.front() == u'#')
        return QStringLiteral("%1 name \"%2\" starts with '[', ';' or '#'").arg(QLatin1String(what), name);
    return {};
}

void SetError(QString* error, const QString& reason)
{
    if (error)
        *error = reason;
}

}  // namespace

CProfileFile::CProfileFile(QString path) : m_path(std::move(path))
{
    Reload();
}

bool CProfileFile::Reload(QString* error)
{
    m_byteOrderMark.clear();
    m_lines.clear();
    m_newLineEnding = "\n";
    m_loadError.clear();

    if (!QFileInfo::exists(m_path))
        return true;
    QFile file;
    QString reason;
    if (!OpenRegularFile(m_path, file, &reason)) {
        m_loadError = QStringLiteral("cannot read %1: %2").arg(m_path, reason);
        SetError(error, m_loadError);
        return false;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        m_loadError = QStringLiteral("cannot read %1: %2").arg(m_path, file.errorString());
        SetError(error, m_loadError);
        return false;
    }

    static const QByteArray utf8Bom("\xEF\xBB\xBF");
    if (bytes.startsWith(utf8Bom)) {
        m_byteOrderMark = utf8Bom;
        bytes.remove(0, utf8Bom.size());
    }

    bool endingSeen = false;
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype newline = bytes.indexOf('\n', start);
        Line line;
        if (newline < 0) {
            line.text = QString::fromLatin1(bytes.sliced(start));
            start = bytes.size();
        } else {
            qsizetype end = newline;
            if (end > start && bytes[end - 1] == '\r')
                --end;
            line.text = QString::fromLatin1(bytes.sliced(start, end - start));
            line.ending = bytes.sliced(end, newline + 1 - end);
            start = newline + 1;
            if (!endingSeen) {
                m_newLineEnding = line.ending;
                endingSeen = true;
            }
        }
        m_lines.push_back(std::move(line));
    }
    return true;
}

int CProfileFile::FindSection(const std::vector<Line>& lines, QStringView section)
{
    const QStringView wanted = Trimmed(section);
    for (size_t i = 0; i < lines.size(); ++i) {
        const ParsedLine parsed = ParseLine(lines[i].text);
        if (parsed.kind == LineKind::Section && SameName(parsed.name, wanted))
            return static_cast<int>(i);
    }
    return -1;
}

int CProfileFile::FindKey(const std::vector<Line>& lines, int header, QStringView key)
{
    const QStringView wanted = Trimmed(key);
    for (size_t i = static_cast<size_t>(header) + 1; i < lines.size(); ++i) {
        const ParsedLine parsed = ParseLine(lines[i].text);
        if (parsed.kind == LineKind::Section)
            break;
        if (parsed.kind == LineKind::Key && SameName(parsed.name, wanted))
            return static_cast<int>(i);
    }
    return -1;
}

int CProfileFile::KeyInsertPosition(const std::vector<Line>& lines, int header)
{
    int after = header;
    for (size_t i = static_cast<size_t>(header) + 1; i < lines.size(); ++i) {
        const ParsedLine parsed = ParseLine(lines[i].text);
        if (parsed.kind == LineKind::Section)
            break;
        if (parsed.kind == LineKind::Key)
            after = static_cast<int>(i);
    }
    return after + 1;
}

QStringView CProfileFile::FindValue(const QString& section, const QString& key) const
{
    if (section.isEmpty() || key.isEmpty())
        return {};
    const int header = FindSection(m_lines, section);
    if (header < 0)
        return {};
    const int index = FindKey(m_lines, header, key);
    if (index < 0)
        return {};
    return ParseLine(m_lines[static_cast<size_t>(index)].text).value;
}

QString CProfileFile::ReadString(const QString& section, const QString& key, const QString& defaultValue) const
{
    const QStringView value = FindValue(section, key);
    if (value.isEmpty())
        return defaultValue;
    return value.first(std::min<qsizetype>(value.size(), kMaxStringLength)).toString();
}

int CProfileFile::ReadInt(const QString& section, const QString& key, int defaultValue) const
{
    const QStringView value = FindValue(section, key);
    return value.isEmpty() ? defaultValue : ParseLeadingInt(value);
}

int CProfileFile::ParseLeadingInt(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    // Accumulate the magnitude in 64 bits and stop growing it once it is past
    // the range of int, so that any number of digits is safe.
    constexpr long long limit = static_cast<long long>(INT_MAX) + 1;
    long long magnitude = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        magnitude = magnitude * 10 + (text[i].unicode() - u'0');
        if (magnitude > limit)
            magnitude = limit;
    }
    if (negative)
        return static_cast<int>(-magnitude);  // -2147483648 at most
    return magnitude > INT_MAX ? INT_MAX : static_cast<int>(magnitude);
}

bool CProfileFile::WriteInt(const QString& section, const QString& key, int value, QString* error)
{
    return WriteString(section, key, QString::number(value), error);
}

bool CProfileFile::WriteString(const QString& section, const QString& key, const QString& value, QString* error)
{
    return WriteStrings({ProfileWrite{section, key, value}}, error);
}

QString CProfileFile::CheckWrite(const ProfileWrite& write) const
{
    QString reason = CheckName(write.section, "section");
    if (reason.isEmpty() && write.section.contains(u']'))
        reason = QStringLiteral("section name \"%1\" holds ']'").arg(write.section);
    if (reason.isEmpty())
        reason = CheckName(write.key, "key");
    if (reason.isEmpty() && write.key.contains(u'='))
        reason = QStringLiteral("key name \"%1\" holds '='").arg(write.key);
    if (reason.isEmpty() && (HasLineBreak(write.value) || !IsLatin1(write.value)))
        reason = QStringLiteral("value for %1 holds a line break or a character beyond 8-bit text").arg(write.key);
    return reason.isEmpty() ? reason : QStringLiteral("cannot write %1: %2").arg(m_path, reason);
}

void CProfileFile::ApplyWrite(std::vector<Line>& lines, const ProfileWrite& write) const
{
    const QString& section = write.section;
    const QString& key = write.key;
    const int header = FindSection(lines, section);
    if (header < 0) {
        const bool needsGap = !lines.empty() && !Trimmed(lines.back().text).isEmpty();
        int position = static_cast<int>(lines.size());
        if (needsGap)
            InsertLine(lines, position++, QString());
        InsertLine(lines, position++, QLatin1Char('[') + Trimmed(section).toString() + QLatin1Char(']'));
        InsertLine(lines, position, Trimmed(key).toString() + QLatin1Char('=') + write.value);
    } else if (const int index = FindKey(lines, header, key); index >= 0) {
        // Keep everything up to the '=' and the blanks after it: the key's own
        // spelling and the file's layout.
        QString& text = lines[static_cast<size_t>(index)].text;
        qsizetype valueStart = text.indexOf(u'=') + 1;
        qsizetype blanksEnd = valueStart;
        while (blanksEnd < text.size() && (text[blanksEnd] == u' ' || text[blanksEnd] == u'\t'))
            ++blanksEnd;
        if (blanksEnd < text.size())
            valueStart = blanksEnd;
        text = text.first(valueStart) + write.value;
    } else {
        InsertLine(lines, KeyInsertPosition(lines, header), Trimmed(key).toString() + QLatin1Char('=') + write.value);
    }
}

bool CProfileFile::WriteStrings(const std::vector<ProfileWrite>& writes, QString* error)
{
    if (!m_loadError.isEmpty()) {
        SetError(error, m_loadError + QStringLiteral(" (not overwritten)"));
        return false;
    }
    for (const ProfileWrite& write : writes) {
        if (const QString reason = CheckWrite(write); !reason.isEmpty()) {
            SetError(error, reason);
            return false;
        }
    }
    // Change a copy, so that a failed save leaves what we read untouched.
    std::vector<Line> lines = m_lines;
    for (const ProfileWrite& write : writes)
        ApplyWrite(lines, write);
    if (!Save(lines, error))
        return false;
    m_lines = std::move(lines);
    return true;
}

void CProfileFile::InsertLine(std::vector<Line>& lines, int position, const QString& text) const
{
    // The line in front of an added one may have been the last line of a file
    // that did not end with a line break.
    if (position > 0 && lines[static_cast<size_t>(position) - 1].ending.isEmpty())
        lines[static_cast<size_t>(position) - 1].ending = m_newLineEnding;
    lines.insert(lines.begin() + position, Line{text, m_newLineEnding});
}

bool CProfileFile::Save(const std::vector<Line>& lines, QString* error) const
{
    QByteArray bytes = m_byteOrderMark;
    for (const Line& line : lines) {
        bytes += line.text.toLatin1();
        bytes += line.ending;
    }
    // The file is replaced atomically, so it is never half-written. Renaming
    // over a file needs only the folder to be writable; a file that is
    // read-only itself must keep its values, as it does under Windows, even
    // for root.
    const QFileInfo existing(m_path);
    constexpr QFileDevice::Permissions anyWrite =
        QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    if (existing.exists() && (!existing.isWritable() || !(existing.permissions() & anyWrite))) {
        SetError(error, QStringLiteral("cannot write %1: the file is read-only").arg(m_path));
        return false;
    }
    QString reason;
    if (!WriteFileAtomically(m_path, bytes, &reason)) {
        SetError(error, QStringLiteral("cannot write %1").arg(reason));
        return false;
    }
    return true;
}
