// A picture file of any format the import reads (PNG, JPEG, GIF, BMP, TIFF,
// WebP, SVG and compressed SVG) through the whole import: loading, fitting,
// tones, dithering and the BMP it writes. The process has an offscreen GUI
// application, as markograph-cli has for drawings, so text is drawn with
// fonts. Besides running clean under the sanitizers, within the run's
// memory limit (-malloc_limit_mb: a decoder that believed a declared size
// would ask for more) and without waiting on anything:
// - an imported logo has the size its dots say, every dot is paper, black
//   or the ink, and its BMP loads through the logo path to that size;
// - a refusal always comes with a reason that names the file.
// With MARKOGRAPH_FUZZ_DIGEST naming a file, each input appends a line
// "input-hash bmp-hash" (or "input-hash refused") to it, for determinism.sh.
//
// Byte 0 chooses the file's name suffix (the import looks at both name and
// content), byte 1 the printer kind, method and width; the rest is the file.
#include "fuzz_support.h"

#include "imaging/bitmap_surface.h"
#include "import/picture_importer.h"

#include <QCryptographicHash>
#include <QFile>
#include <QGuiApplication>

#include <array>
#include <memory>

namespace {

constexpr std::array<const char*, 8> kSuffixes{"png", "jpg", "gif", "bmp", "tif", "webp", "svg", "svgz"};

void MakeApplication()
{
    static int argc = 1;
    static char name[] = "fuzz_picture_import";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static const std::unique_ptr<QGuiApplication> app = std::make_unique<QGuiApplication>(argc, argv);
}

ImportSettings SettingsFrom(uint8_t byte)
{
    constexpr std::array<PrinterKind, 3> kKinds{PrinterKind::Mono, PrinterKind::TwoColor, PrinterKind::DotMode};
    ImportSettings settings;
    settings.modelType = kKinds[byte % 3];
    settings.dither = static_cast<DitherMethod>((byte / 3) % 3);  // Bayer is not for every kind
    settings.receiptWidth = 64;
    settings.width = (byte & 0x80) ? 24 : 0;
    settings.density = static_cast<DotDensity>((byte >> 5) % 3);
    return settings;
}

void WriteDigest(const uint8_t* data, size_t size, const QByteArray& result)
{
    static const QByteArray digestPath = qgetenv("MARKOGRAPH_FUZZ_DIGEST");
    if (digestPath.isEmpty())
        return;
    QFile digest(QString::fromLocal8Bit(digestPath));
    FUZZ_CHECK(digest.open(QIODevice::Append));
    const QByteArray input = QCryptographicHash::hash(
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)),
        QCryptographicHash::Sha1);
    digest.write(input.toHex() + ' ' + result + '\n');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    MakeApplication();
    const QString path = FuzzFolder() + QStringLiteral("/picture.") + QLatin1String(kSuffixes[data[0] % kSuffixes.size()]);
    WriteFuzzFile(path, data + 2, size - 2);
    const ImportSettings settings = SettingsFrom(data[1]);
    FUZZ_CHECK(CheckImportSettings(settings).isEmpty());

    QString error;
    const std::optional<ImportedLogo> logo = ImportPictureFile(path, settings, &error);
    QFile::remove(path);
    if (!logo) {
        FUZZ_CHECK(error.startsWith(path));
        WriteDigest(data, size, "refused");
        return 0;
    }
    FUZZ_CHECK(logo->dotWidth > 0 && logo->dotHeight > 0);
    FUZZ_CHECK(logo->dots.size() == static_cast<size_t>(logo->dotWidth) * logo->dotHeight);
    for (const uint8_t dot : logo->dots)
        FUZZ_CHECK(dot <= kInkDot);
    FUZZ_CHECK(logo->bmpSize == QSize(logo->dotWidth * logo->unitWidth, logo->dotHeight * logo->unitHeight));
    const QString bmp = FuzzFolder() + QStringLiteral("/logo.bmp");
    QFile file(bmp);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly) && file.write(logo->bmp) == logo->bmp.size());
    file.close();
    const std::optional<CBitmapSurface> surface = CBitmapSurface::LoadBmp(bmp);
    FUZZ_CHECK(surface && surface->Width() == logo->bmpSize.width() && surface->Height() == logo->bmpSize.height());
    WriteDigest(data, size, QCryptographicHash::hash(logo->bmp, QCryptographicHash::Sha1).toHex());
    return 0;
}
