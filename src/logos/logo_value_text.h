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
    int colorMode = 0;
};

QString FormatLogoValue(const LogoEntry& entry);
LogoValue ParseLogoValue(const QString& text);
