#include "logos/logo_renderer.h"

#include "imaging/color_separation.h"

#include <QDir>

SeparationInputs MakeEntryInputs(const LogoEntry& entry, const SeparationColors& colors)
{
    return {.hueColor = HueColor(entry.threshold),
            .palette = colors.palette,
            .lColor = colors.lColor,
            .rValue = entry.rValue,
            .lValue = entry.lValue,
            .colorMode = entry.colorMode};
}

win::COLORREF MapEntryColor(const LogoEntry& entry, win::COLORREF colour, const SeparationColors& colors)
{
    return SeparateColor(colour, MakeEntryInputs(entry, colors));
}

std::optional<CBitmapSurface> LoadLogoBitmap(const LogoEntry& entry, QString* error)
{
    QString reason;
    std::optional<CBitmapSurface> surface = CBitmapSurface::LoadBmp(entry.path, &reason);
    if (!surface && error)
        *error = QStringLiteral("Cannot load \"%1\": %2").arg(QDir::toNativeSeparators(entry.path), reason);
    return surface;
}

std::optional<CBitmapSurface> RenderSeparatedBitmap(const LogoEntry& entry, const SeparationColors& colors,
                                                    QString* error)
{
    std::optional<CBitmapSurface> surface = LoadLogoBitmap(entry, error);
    if (surface)
        SeparateSurface(*surface, MakeEntryInputs(entry, colors));
    return surface;
}
