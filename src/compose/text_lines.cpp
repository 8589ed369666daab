#include "compose/text_lines.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

namespace {

// The installed family with this name, spelled as the database spells it.
QString InstalledFamily(const QString& wanted)
{
    for (const QString& family : QFontDatabase::families())
        if (family.compare(wanted, Qt::CaseInsensitive) == 0)
            return family;
    return QString();
}

int LineHeight(const QFont& font)
{
    return static_cast<int>(std::ceil(QFontMetricsF(font).height()));
}

int LineWidth(const QFont& font, const QString& text)
{
    return static_cast<int>(std::ceil(QFontMetricsF(font).horizontalAdvance(text)));
}

Qt::Alignment Alignment(ComposeAlign align)
{
    switch (align) {
    case ComposeAlign::Left: return Qt::AlignLeft;
    case ComposeAlign::Right: return Qt::AlignRight;
    case ComposeAlign::Center: break;
    }
    return Qt::AlignHCenter;
}

}  // namespace

QFont ComposeFont(const ComposeTextLine& line, QString* note)
{
    QString family = InstalledFamily(line.font);
    if (family.isEmpty()) {
        family = InstalledFamily(QString::fromLatin1(kDefaultComposeFont));
        if (family.isEmpty())
            family = QFont().defaultFamily();
        *note = QStringLiteral("Font '%1' is not installed; used '%2' instead.").arg(line.font, family);
    }
    QFont font(family);
    font.setPixelSize(line.size);
    font.setBold(line.bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

std::optional<std::vector<ComposeTextLine>> FitTextLines(const std::vector<ComposeTextLine>& lines, int width,
                                                         bool shrink, QStringList* notes, QString* error)
{
    std::vector<ComposeTextLine> fitted = lines;
    for (size_t i = 0; i < fitted.size(); ++i) {
        ComposeTextLine& line = fitted[i];
        QString note;
        QFont font = ComposeFont(line, &note);
        if (!note.isEmpty() && !notes->contains(note))
            notes->append(note);
        const int wide = LineWidth(font, line.text);
        if (wide <= width)
            continue;
        const QString name = QStringLiteral("Line %1 (\"%2\")").arg(i + 1).arg(line.text);
        if (!shrink) {
            *error = QStringLiteral("%1 is %2 dots wide at size %3; the paper takes %4. Give a smaller size, "
                                    "fewer characters, or let it shrink to fit.")
                         .arg(name).arg(wide).arg(line.size).arg(width);
            return std::nullopt;
        }
        // Widths grow nearly in proportion to the size; step down from the
        // proportional guess until the line fits.
        const int from = line.size;
        int size = std::min(from - 1, static_cast<int>(static_cast<long long>(from) * width / wide));
        for (; size >= kMinComposeSize; --size) {
            font.setPixelSize(size);
            if (LineWidth(font, line.text) <= width)
                break;
        }
        if (size < kMinComposeSize) {
            *error = QStringLiteral("%1 does not fit the paper's %2 dots even at size %3.")
                         .arg(name).arg(width).arg(kMinComposeSize);
            return std::nullopt;
        }
        line.size = size;
        notes->append(QStringLiteral("%1 shrunk from size %2 to %3 to fit %4 dots.").arg(name).arg(from).arg(size).arg(width));
    }
    return fitted;
}

int TextBlockHeight(const std::vector<ComposeTextLine>& lines, int spacing)
{
    int height = 0;
    for (const ComposeTextLine& line : lines) {
        QString note;
        height += LineHeight(ComposeFont(line, &note));
    }
    return lines.empty() ? 0 : height + spacing * static_cast<int>(lines.size() - 1);
}

void DrawTextLines(const std::vector<ComposeTextLine>& lines, int spacing, const QRect& area, QPainter& black,
                   QPainter& second)
{
    int y = area.top();
    for (const ComposeTextLine& line : lines) {
        QString note;
        const QFont font = ComposeFont(line, &note);
        const int height = LineHeight(font);
        QPainter& painter = line.ink == ComposeInk::Second ? second : black;
        painter.setFont(font);
        painter.setPen(Qt::black);
        // The font's own anti-aliasing gives each dot its coverage; the
        // composer then keeps the dots covered at least half, so edges stay
        // crisp instead of being dithered.
        painter.setRenderHint(QPainter::TextAntialiasing, true);
        painter.drawText(QRect(area.left(), y, area.width(), height),
                         static_cast<int>(Alignment(line.align) | Qt::AlignAbsolute | Qt::AlignTop | Qt::TextSingleLine), line.text);
        y += height + spacing;
    }
}
