#pragma once

#include <QFont>
#include <QRect>

// Dialog templates place controls in dialog units: a quarter of the font's
// average character width horizontally and an eighth of its height
// vertically, so a window laid out in them grows with the font and the
// screen's resolution.
class CDialogUnits {
public:
    explicit CDialogUnits(const QFont& font);

    int X(int units) const;
    int Y(int units) const;
    QRect Rect(int x, int y, int width, int height) const;

private:
    int m_baseX = 6;
    int m_baseY = 13;
};
