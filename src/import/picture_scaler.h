#pragma once

#include <QImage>
#include <QSize>

// The size a picture of this size takes when fitted to a width, keeping its
// aspect ratio (height rounded, at least 1). With width 0 the picture is only
// shrunk to maxWidth when it is wider; a narrower picture keeps its size, so a
// logo drawn at the printer's size stays dot for dot as it was drawn.
QSize FitToWidth(QSize picture, int width, int maxWidth);

// Resizes an opaque RGB32 picture. Shrinking averages every source pixel by
// the area it covers of the destination pixel (a box filter with fractional
// edges), so thin lines and fine patterns keep their share of ink instead of
// vanishing or aliasing as they would with nearest-neighbour sampling.
// Enlarging interpolates smoothly. The result is Format_RGB32.
QImage ResizePicture(const QImage& picture, QSize size);
