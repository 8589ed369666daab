#pragma once

#include <QImage>

#include <cstdint>
#include <vector>

// An image as the printer puts it on paper: a grid of dots, each white (no
// dot), black or red (the second colour). (0, 0) is the top left dot.
//
// A dot may cover more than one unit of paper: a single-density impact
// image, for one, has dots twice as wide and twice as high as a quad-density
// one. UnitWidth()/UnitHeight() say how many units a dot takes, so that a
// print can be drawn at its size on paper. A value type; not shared between
// threads while it is being changed.
class CDotGrid {
public:
    enum Dot : std::uint8_t { White = 0, Black = 1, Red = 2 };

    CDotGrid() = default;
    CDotGrid(int width, int height, int unitWidth = 1, int unitHeight = 1);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    int UnitWidth() const { return m_unitWidth; }
    int UnitHeight() const { return m_unitHeight; }

    // Outside the grid reads as White; writes outside it are ignored.
    Dot At(int x, int y) const;
    void Set(int x, int y, Dot dot);

    // The leftmost columns of the grid (all of it when it is not wider).
    CDotGrid LeftPart(int columns) const;

    // Counts the dots of one colour.
    qsizetype Count(Dot dot) const;

    // The grid as an image, each dot scaleX x scaleY pixels: white paper,
    // black dots black, red dots red. An empty grid gives a 1 x 1 white image
    // so that every rendering is a readable PNG.
    QImage ToImage(int scaleX = 1, int scaleY = 1) const;

    friend bool operator==(const CDotGrid&, const CDotGrid&) = default;

private:
    int m_width = 0;
    int m_height = 0;
    int m_unitWidth = 1;
    int m_unitHeight = 1;
    std::vector<std::uint8_t> m_dots;  // row by row
};
