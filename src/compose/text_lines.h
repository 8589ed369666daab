#pragma once

#include "compose/compose_layout.h"

#include <QFont>
#include <QStringList>

#include <optional>
#include <vector>

class QPainter;

// Lines of text as compose draws them. Fonts come from fontconfig through
// the application's font database, so a QGuiApplication must exist.

// The font for a line: its family when installed (compared without regard
// to case), else the default family, with a note saying so in *note. Pixel
// sized, so the size is in dots; no hinting, so that a line measures the same
// whether it is drawn at the dot grid or at full resolution.
QFont ComposeFont(const ComposeTextLine& line, QString* note);

// The lines made to fit width dots: a line wider than that is refused with
// the reason in *error, or, when shrink is set, drawn at the largest size
// that fits, with a note saying so. Notes for substituted fonts are added
// once per family.
std::optional<std::vector<ComposeTextLine>> FitTextLines(const std::vector<ComposeTextLine>& lines, int width,
                                                         bool shrink, QStringList* notes, QString* error);

// The height of the fitted lines with spacing dots between them.
int TextBlockHeight(const std::vector<ComposeTextLine>& lines, int spacing);

// Draws the fitted lines top-down into area (dots), each with its alignment,
// black ones with black and second-ink ones with second. Left-to-right and
// right-to-left scripts are shaped by the font engine.
void DrawTextLines(const std::vector<ComposeTextLine>& lines, int spacing, const QRect& area, QPainter& black,
                   QPainter& second);
