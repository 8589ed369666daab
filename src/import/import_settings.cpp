#include "import/import_settings.h"

#include "operations/printer_kind_table.h"

#include <array>

namespace {

struct DitherName {
    DitherMethod method;
    const char* name;
    const char* shortName;
};
constexpr std::array<DitherName, 4> kDitherNames{{
    {DitherMethod::None, "none", "th"},
    {DitherMethod::FloydSteinberg, "floyd-steinberg", "fs"},
    {DitherMethod::Atkinson, "atkinson", "at"},
    {DitherMethod::Bayer, "bayer", "by"},
}};

// Indexed by the colour inks' numbers.
constexpr std::array<const char*, 3> kInkNames{{"red", "green", "blue"}};

const DitherName& Find(DitherMethod method)
{
    for (const DitherName& entry : kDitherNames)
        if (entry.method == method)
            return entry;
    return kDitherNames[0];
}

}  // namespace

QString DitherMethodName(DitherMethod method)
{
    return QString::fromLatin1(Find(method).name);
}

std::optional<DitherMethod> ParseDitherMethod(const QString& name)
{
    for (const DitherName& entry : kDitherNames)
        if (name.compare(QLatin1String(entry.name), Qt::CaseInsensitive) == 0)
            return entry.method;
    return std::nullopt;
}

QString InkName(ColorChoice ink)
{
    if (!IsColorInk(ink))
        return QString();
    return QString::fromLatin1(kInkNames[static_cast<size_t>(ToStoredNumber(ink))]);
}

std::optional<ColorChoice> ParseInkName(const QString& name)
{
    for (size_t i = 0; i < kInkNames.size(); ++i)
        if (name.compare(QLatin1String(kInkNames[i]), Qt::CaseInsensitive) == 0)
            return FromStoredNumber(static_cast<int>(i));
    return std::nullopt;
}

QString CheckImportSettings(const ImportSettings& s)
{
    if (!s.modelType.Kind())
        return QStringLiteral("Printer kind %1 is not 0, 1 or 2.").arg(s.modelType.Number());
    if (s.width < 0 || s.width > kMaxImportWidth)
        return QStringLiteral("The width must lie between 1 and %1 dots.").arg(kMaxImportWidth);
    if (s.width == 0 && s.receiptWidth <= 0)
        return QStringLiteral("The printable width is 0: give a width in dots.");
    if (s.level < kMinLevel || s.level > kMaxLevel)
        return QStringLiteral("The level must lie between %1 and %2.").arg(kMinLevel).arg(kMaxLevel);
    if (s.brightness < -kMaxToneShift || s.brightness > kMaxToneShift || s.contrast < -kMaxToneShift
        || s.contrast > kMaxToneShift)
        return QStringLiteral("Brightness and contrast must lie between -100 and 100.");
    if (!(s.gamma >= kMinGamma && s.gamma <= kMaxGamma))
        return QStringLiteral("The gamma must lie between 0.1 and 10.");
    const PrinterKindEntry& kind = KindEntry(*s.modelType.Kind());
    if (kind.importInkChoice && s.dither == DitherMethod::Bayer)
        return QStringLiteral("Ordered (bayer) dithering is for single-colour and DOT MODE printers; "
                              "two-colour printers take none, floyd-steinberg or atkinson.");
    if (kind.importInkChoice && InkName(s.ink).isEmpty())
        return QStringLiteral("The ink must be red, green or blue.");
    return QString();
}

QString DescribeImportSettings(const ImportSettings& s)
{
    QString text = QStringLiteral("k%1 w%2%3 %4 l%5 b%6 c%7 g%8")
                       .arg(s.modelType.Number())
                       .arg(s.width > 0 ? s.width : s.receiptWidth)
                       .arg(s.width > 0 ? "" : "max")
                       .arg(QLatin1String(Find(s.dither).shortName))
                       .arg(s.level)
                       .arg(s.brightness)
                       .arg(s.contrast)
                       .arg(s.gamma, 0, 'f', 2);
    if (s.rotate)
        text += QStringLiteral(" r90");
    const PrinterKindEntry* kind = KindEntry(s.modelType);
    if (kind && kind->importInkChoice)
        text += QStringLiteral(" ") + InkName(s.ink);
    if (kind && kind->importDensityUnits)
        text += QStringLiteral(" d%1").arg(DotDensityNumber(s.density));
    return text;
}
