#pragma once

#include <QString>

class QLabel;

// Shows a one-line text in a label of fixed width. A text too long for it
// (a device path under /dev/serial/by-id, a long logo name in a status line)
// is cut in the middle, so both ends stay readable, and the tooltip shows it
// whole; a text that fits has no tooltip.
void ShowElidedText(QLabel* label, const QString& text);
