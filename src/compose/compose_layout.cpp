#include "compose/compose_layout.h"

#include "operations/printer_kind_table.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <array>

namespace {

template <typename Enum>
struct Named {
    Enum value;
    const char* name;
};

constexpr std::array<Named<ComposeAlign>, 3> kAligns{{
    {ComposeAlign::Left, "left"}, {ComposeAlign::Center, "center"}, {ComposeAlign::Right, "right"}}};
constexpr std::array<Named<QrPosition>, 2> kPositions{{{QrPosition::Below, "below"}, {QrPosition::Beside, "beside"}}};
constexpr std::array<Named<ComposeInk>, 2> kInks{{{ComposeInk::Black, "black"}, {ComposeInk::Second, "second"}}};
constexpr std::array<Named<QrLevel>, 4> kLevels{{{QrLevel::L, "L"}, {QrLevel::M, "M"}, {QrLevel::Q, "Q"}, {QrLevel::H, "H"}}};

template <typename Enum, size_t N>
QString NameOf(const std::array<Named<Enum>, N>& table, Enum value)
{
    for (const auto& entry : table)
        if (entry.value == value)
            return QString::fromLatin1(entry.name);
    return QString();
}

template <typename Enum, size_t N>
std::optional<Enum> Parse(const std::array<Named<Enum>, N>& table, const QString& name)
{
    for (const auto& entry : table)
        if (name.compare(QLatin1String(entry.name), Qt::CaseInsensitive) == 0)
            return entry.value;
    // "centre" reads as well as "center".
    if constexpr (std::is_same_v<Enum, ComposeAlign>)
        if (name.compare(QLatin1String("centre"), Qt::CaseInsensitive) == 0)
            return ComposeAlign::Center;
    return std::nullopt;
}

// Splits "word key=value ...: content" at the first ':' outside quotes.
void SplitLine(const QString& line, QString* head, QString* content, bool* hasContent)
{
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        else if (line[i] == ':' && !quoted) {
            *head = line.left(i);
            *content = line.mid(i + 1);
            if (content->startsWith(' '))
                content->remove(0, 1);
            *hasContent = true;
            return;
        }
    }
    *head = line;
    *hasContent = false;
}

bool ReadInt(const QString& value, int low, int high, int* out)
{
    bool ok = false;
    const int number = value.toInt(&ok);
    if (!ok || number < low || number > high)
        return false;
    *out = number;
    return true;
}

// One key=value of a text or QR line; false names a key or value it cannot use.
bool ApplyTextSetting(ComposeTextLine& line, const QString& key, const QString& value)
{
    if (key == "font" && !value.isEmpty())
        line.font = value;
    else if (key == "size")
        return ReadInt(value, kMinComposeSize, kMaxComposeSize, &line.size);
    else if (key == "bold" && value.isEmpty())
        line.bold = true;
    else if (key == "regular" && value.isEmpty())
        line.bold = false;
    else if (auto align = Parse(kAligns, value); key == "align" && align)
        line.align = *align;
    else if (auto ink = Parse(kInks, value); key == "ink" && ink)
        line.ink = *ink;
    else
        return false;
    return true;
}

bool ApplyQrSetting(ComposeQr& qr, const QString& key, const QString& value)
{
    if (auto level = Parse(kLevels, value); key == "level" && level)
        qr.level = *level;
    else if (key == "module")
        return ReadInt(value, 0, kMaxQrModule, &qr.module);
    else if (auto position = Parse(kPositions, value); key == "position" && position)
        qr.position = *position;
    else if (auto ink = Parse(kInks, value); key == "ink" && ink)
        qr.ink = *ink;
    else
        return false;
    return true;
}

QString Quoted(const QString& value)
{
    if (!value.contains(' ') && !value.contains(':') && !value.contains('"'))
        return value;
    QString inner = value;
    inner.replace(QLatin1String("\""), QLatin1String("\"\"\""));  // a literal quote is written three times
    return '"' + inner + '"';
}

}  // namespace

QString AlignName(ComposeAlign align) { return NameOf(kAligns, align); }
std::optional<ComposeAlign> ParseAlign(const QString& name) { return Parse(kAligns, name); }
QString QrPositionName(QrPosition position) { return NameOf(kPositions, position); }
std::optional<QrPosition> ParseQrPosition(const QString& name) { return Parse(kPositions, name); }
QString ComposeInkName(ComposeInk ink) { return NameOf(kInks, ink); }
std::optional<ComposeInk> ParseComposeInk(const QString& name) { return Parse(kInks, name); }
QString QrLevelName(QrLevel level) { return NameOf(kLevels, level); }
std::optional<QrLevel> ParseQrLevel(const QString& name) { return Parse(kLevels, name); }

QString CheckComposeLayout(const ComposeLayout& layout, const CModelType& modelType)
{
    if (layout.IsEmpty())
        return QStringLiteral("Nothing to compose: give a line of text, a QR code or a picture.");
    if (layout.spacing < 0 || layout.spacing > kMaxComposeSpacing)
        return QStringLiteral("The spacing must lie between 0 and %1 dots.").arg(kMaxComposeSpacing);
    bool second = layout.qr && layout.qr->ink == ComposeInk::Second;
    for (const ComposeTextLine& line : layout.lines) {
        if (line.size < kMinComposeSize || line.size > kMaxComposeSize)
            return QStringLiteral("The text size must lie between %1 and %2 dots.").arg(kMinComposeSize).arg(kMaxComposeSize);
        second = second || line.ink == ComposeInk::Second;
    }
    if (layout.qr && layout.qr->content.isEmpty())
        return QStringLiteral("The QR code has no content.");
    if (layout.qr && (layout.qr->module < 0 || layout.qr->module > kMaxQrModule))
        return QStringLiteral("The QR module size must lie between 1 and %1 dots.").arg(kMaxQrModule);
    const PrinterKindEntry* kind = KindEntry(modelType);
    if (second && !(kind && kind->importInkChoice))
        return QStringLiteral("Only two-colour printers have a second ink; print the text and the QR code in black.");
    return QString();
}

std::optional<ComposeLayout> ParseComposeLayout(const QString& text, const QString& baseFolder,
                                                const ComposeTextLine& textDefaults, const ComposeQr& qrDefaults,
                                                QString* error)
{
    ComposeLayout layout;
    const QStringList lines = text.split('\n');
    for (qsizetype number = 1; number <= lines.size(); ++number) {
        QString line = lines[number - 1];
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.trimmed().isEmpty() || line.trimmed().startsWith('#'))
            continue;
        QString head;
        QString content;
        bool hasContent = false;
        SplitLine(line, &head, &content, &hasContent);
        QStringList words = QProcess::splitCommand(head);
        const QString kind = words.isEmpty() ? QString() : words.takeFirst().toLower();
        auto fail = [&](const QString& why) {
            *error = QStringLiteral("Layout line %1: %2").arg(number).arg(why);
            return std::nullopt;
        };
        ComposeTextLine textLine = textDefaults;
        ComposeQr qr = qrDefaults;
        if (kind == "spacing" && !hasContent && words.size() == 1) {
            if (!ReadInt(words[0], 0, kMaxComposeSpacing, &layout.spacing))
                return fail(QStringLiteral("the spacing must be 0 to %1 dots.").arg(kMaxComposeSpacing));
            continue;
        }
        if (kind == "shrink" && !hasContent && words.isEmpty()) {
            layout.shrink = true;
            continue;
        }
        if ((kind != "text" && kind != "qr" && kind != "picture") || !hasContent)
            return fail(QStringLiteral("expected 'text ...: line', 'qr ...: content', 'picture: file', "
                                       "'spacing N' or 'shrink', not '%1'.").arg(line));
        for (const QString& word : words) {
            const QString key = word.section('=', 0, 0).toLower();
            const QString value = word.contains('=') ? word.section('=', 1) : QString();
            const bool used = kind == "text" ? ApplyTextSetting(textLine, key, value)
                              : kind == "qr" ? ApplyQrSetting(qr, key, value)
                                             : false;
            if (!used)
                return fail(QStringLiteral("'%1' is no setting of %2 (or its value is out of range).").arg(word, kind));
        }
        if (kind == "text") {
            textLine.text = content;
            layout.lines.push_back(textLine);
        } else if (kind == "qr") {
            qr.content = content;
            layout.qr = qr;
        } else {
            const QString path = QFileInfo(content).isAbsolute() ? content : QDir(baseFolder).filePath(content);
            layout.picture = ComposePicture{path};
        }
    }
    return layout;
}

QString FormatComposeLayout(const ComposeLayout& layout)
{
    QStringList out;
    out << QStringLiteral("spacing %1").arg(layout.spacing);
    if (layout.shrink)
        out << QStringLiteral("shrink");
    if (layout.picture)
        out << QStringLiteral("picture: ") + layout.picture->path;
    for (const ComposeTextLine& line : layout.lines)
        out << QStringLiteral("text font=%1 size=%2 %3 align=%4 ink=%5: %6")
                   .arg(Quoted(line.font)).arg(line.size).arg(line.bold ? "bold" : "regular")
                   .arg(AlignName(line.align), ComposeInkName(line.ink), line.text);
    if (layout.qr)
        out << QStringLiteral("qr level=%1 module=%2 position=%3 ink=%4: %5")
                   .arg(QrLevelName(layout.qr->level)).arg(layout.qr->module)
                   .arg(QrPositionName(layout.qr->position), ComposeInkName(layout.qr->ink), layout.qr->content);
    return out.join('\n') + '\n';
}
