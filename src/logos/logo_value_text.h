#pragma once

#include "logos/logo_entry.h"

#include <QString>

// The text form a logo is stored in between runs, one logo a value:
//   path,THRESHOLD,RValue,LValue,colorMode   e.g. /logos/shop.bmp,120,100,085,1
// The numbers are written zero-padded to three digits (the colour mode as one
// digit) and read back at fixed places after the first comma, so a path that
// contains a comma is cut there and no longer loads.
struct LogoValue {
    QString path;
    int threshold = 0;
    int rValue = 0;
    int lValue = 0;
    ColorChoice colorMode = ColorChoice::Red;  // the stored digit, whatever it is
};

QString FormatLogoValue(const LogoEntry& entry);
LogoValue ParseLogoValue(const QString& text);

// Why text is not a value this program could have written, or an empty
// string when it could: the three numbers must be three digits each at their
// fixed places, THRESHOLD 0 to 360, R Value and L Value 0 to 255. The colour
// mode may be any value (4 and above leave the pixels unchanged). Lists made
// by hand are checked with it before ParseLogoValue reads them.
QString LogoValueTextProblem(const QString& text);

// Why a logo at path could not be kept between runs, or an empty string:
// the stored form ends the path at its first comma, so a path holding one
// would fail to load at the next start; and a logo list holds one logo a
// line, so a line break would split one logo into two lines.
QString LogoPathProblem(const QString& path);
