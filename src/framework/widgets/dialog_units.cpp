#include "framework/widgets/dialog_units.h"

#include <QFontMetrics>

CDialogUnits::CDialogUnits(const QFont& font)
{
    const QFontMetrics metrics(font);
    // The average width of the 52 Latin letters, as dialog templates measure it.
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    m_baseX = std::max(1, (metrics.horizontalAdvance(letters) / 26 + 1) / 2);
    m_baseY = std::max(1, metrics.height());
}

int CDialogUnits::X(int units) const
{
    return (units * m_baseX + 2) / 4;
}

int CDialogUnits::Y(int units) const
{
    return (units * m_baseY + 4) / 8;
}

QRect CDialogUnits::Rect(int x, int y, int width, int height) const
{
    return QRect(X(x), Y(y), X(width), Y(height));
}
