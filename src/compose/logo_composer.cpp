#include "compose/logo_composer.h"

#include "compose/qr_symbol.h"
#include "compose/text_lines.h"
#include "import/picture_loader.h"
#include "import/two_ink_reduction.h"

#include <QCryptographicHash>
#include <QPainter>

namespace {

// Where each part goes, in BMP pixels (full-resolution dots).
struct Placement {
    int width = 0;   // the paper, a whole number of printer dots
    int height = 0;
    QRect picture;
    QRect text;
    QRect qr;
    int module = 0;
};

int AlignDown(int value, int unit) { return value / unit * unit; }
int AlignUp(int value, int unit) { return (value + unit - 1) / unit * unit; }

QString TooLongMessage(const ComposeQr& qr, int maxModules, int available)
{
    const int fits = maxModules < 21 ? 0 : LargestQrPrefix(qr.content, qr.level, maxModules);
    return QStringLiteral("The QR code content is too long for level %1 in %2 dots: at most %3 of its %4 "
                          "characters fit. Shorten it or choose a lower level.")
        .arg(QrLevelName(qr.level)).arg(available).arg(fits).arg(qr.content.size());
}

// The module size in BMP pixels: square on paper and a whole number of dots
// both ways, so every module is the same number of dots.
bool PlaceQr(const ComposeQr& qr, const QrSymbol& symbol, int paper, QSize unit, Placement* place, QString* error)
{
    const int step = std::max(unit.width(), unit.height());
    const int modules = symbol.size + 2 * kQrQuietZone;
    // Beside the text the code takes at most half the paper by default.
    const int available = qr.position == QrPosition::Beside && qr.module == 0 ? AlignDown(paper / 2, step) : paper;
    int module = qr.module;
    if (module == 0)
        module = AlignDown(available / modules, step);
    if (module % step != 0) {
        *error = QStringLiteral("At this density a QR module must be a multiple of %1 dots.").arg(step);
        return false;
    }
    const int largest = AlignDown(available / modules, step);
    if (largest < step) {
        *error = TooLongMessage(qr, available / step - 2 * kQrQuietZone, available);
        return false;
    }
    if (module * modules > available) {
        *error = QStringLiteral("With modules of %1 dots the QR code is %2 dots wide; the paper takes %3. "
                                "The largest module size that fits is %4.")
                     .arg(module).arg(module * modules).arg(available).arg(largest);
        return false;
    }
    place->module = module;
    place->qr.setSize(QSize(module * modules, module * modules));
    return true;
}

// Stacks the parts: picture, then text, then the code below the text or at
// its right, with spacing between the parts. Every part starts on a dot.
void Stack(Placement* place, QSize pictureDots, int textHeight, const ComposeLayout& layout, QSize unit)
{
    const int spacing = AlignUp(layout.spacing, unit.height());
    int y = 0;
    auto next = [&](int height) {
        const int top = y;
        y = AlignUp(y + height, unit.height()) + spacing;
        return top;
    };
    if (!pictureDots.isEmpty()) {
        const QSize size(pictureDots.width() * unit.width(), pictureDots.height() * unit.height());
        const int x = AlignDown((place->width - size.width()) / 2, unit.width());
        place->picture = QRect(QPoint(x, next(size.height())), size);
    }
    const bool beside = layout.qr && layout.qr->position == QrPosition::Beside;
    const int qrSide = place->qr.width();
    if (beside) {
        const int row = std::max(textHeight, qrSide);
        const int top = next(row);
        place->text = QRect(0, top + (row - textHeight) / 2, place->width - qrSide, textHeight);
        place->qr.moveTo(place->width - qrSide, AlignDown(top + (row - qrSide) / 2, unit.height()));
    } else {
        if (textHeight > 0)
            place->text = QRect(0, next(textHeight), place->width, textHeight);
        if (layout.qr)
            place->qr.moveTo(AlignDown((place->width - qrSide) / 2, unit.width()), next(qrSide));
    }
    place->height = std::max(unit.height(), AlignUp(y - spacing, unit.height()));
}

// A layer the size of the dot grid on which pixel coordinates are drawn.
QImage MakeLayer(const Placement& place, QSize unit)
{
    QImage layer(place.width / unit.width(), place.height / unit.height(), QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    return layer;
}

void DrawQr(QPainter& painter, const QrSymbol& symbol, const Placement& place)
{
    const int origin = kQrQuietZone * place.module;
    for (int y = 0; y < symbol.size; ++y)
        for (int x = 0; x < symbol.size; ++x)
            if (symbol.Dark(x, y))
                painter.fillRect(place.qr.x() + origin + x * place.module, place.qr.y() + origin + y * place.module,
                                 place.module, place.module, Qt::black);
}

}  // namespace

std::optional<ComposedLogo> ComposeLogo(const ComposeLayout& layout, const QImage& picture,
                                        const ImportSettings& settings, QString* error)
{
    QString problem = CheckImportSettings(settings);
    if (problem.isEmpty())
        problem = CheckComposeLayout(layout, settings.modelType);
    if (problem.isEmpty() && settings.receiptWidth <= 0)
        problem = QStringLiteral("The printable width is 0.");
    if (!problem.isEmpty()) {
        *error = problem;
        return std::nullopt;
    }
    const QSize unit = ImportDotUnit(settings);
    Placement place;
    place.width = AlignDown(settings.receiptWidth, std::max(unit.width(), unit.height()));
    ComposedLogo result;

    std::optional<QrSymbol> symbol;
    if (layout.qr) {
        symbol = EncodeQr(layout.qr->content, layout.qr->level);
        if (!symbol) {
            const int step = std::max(unit.width(), unit.height());
            *error = TooLongMessage(*layout.qr, place.width / step - 2 * kQrQuietZone, place.width);
            return std::nullopt;
        }
        if (!PlaceQr(*layout.qr, *symbol, place.width, unit, &place, error))
            return std::nullopt;
    }
    const int textWidth = place.width - (layout.qr && layout.qr->position == QrPosition::Beside ? place.qr.width() : 0);
    std::optional<std::vector<ComposeTextLine>> lines =
        FitTextLines(layout.lines, textWidth, layout.shrink, &result.notes, error);
    if (!lines)
        return std::nullopt;

    std::optional<ImportedLogo> pictureDots;
    if (!picture.isNull()) {
        ImportSettings fit = settings;
        fit.receiptWidth = place.width;
        if (!(pictureDots = ImportPicture(picture, fit, error)))
            return std::nullopt;
        if (pictureDots->dotWidth * unit.width() > place.width) {
            *error = QStringLiteral("The picture is %1 dots wide; the paper takes %2.")
                         .arg(pictureDots->dotWidth * unit.width()).arg(place.width);
            return std::nullopt;
        }
    }
    Stack(&place, pictureDots ? QSize(pictureDots->dotWidth, pictureDots->dotHeight) : QSize(),
          TextBlockHeight(*lines, layout.spacing), layout, unit);
    if (place.height > kMaxImportHeight) {
        *error = QStringLiteral("The logo would be %1 dots high; at most %2 fit a receipt logo.")
                     .arg(place.height).arg(kMaxImportHeight);
        return std::nullopt;
    }

    QImage black = MakeLayer(place, unit);
    QImage second = MakeLayer(place, unit);
    {
        QPainter blackPainter(&black);
        QPainter secondPainter(&second);
        for (QPainter* painter : {&blackPainter, &secondPainter})
            painter->scale(1.0 / unit.width(), 1.0 / unit.height());
        DrawTextLines(*lines, layout.spacing, place.text, blackPainter, secondPainter);
        if (symbol)
            DrawQr(layout.qr->ink == ComposeInk::Second ? secondPainter : blackPainter, *symbol, place);
    }

    const int dotWidth = black.width();
    const int dotHeight = black.height();
    std::vector<std::uint8_t> dots(static_cast<size_t>(dotWidth) * dotHeight, kPaperDot);
    const QRect pictureArea(place.picture.x() / unit.width(), place.picture.y() / unit.height(),
                            pictureDots ? pictureDots->dotWidth : 0, pictureDots ? pictureDots->dotHeight : 0);
    for (int y = 0; y < dotHeight; ++y) {
        const auto* blackRow = reinterpret_cast<const QRgb*>(black.constScanLine(y));
        const auto* secondRow = reinterpret_cast<const QRgb*>(second.constScanLine(y));
        for (int x = 0; x < dotWidth; ++x) {
            std::uint8_t& dot = dots[static_cast<size_t>(y) * dotWidth + x];
            if (pictureArea.contains(x, y))
                dot = pictureDots->DotAt(x - pictureArea.x(), y - pictureArea.y());
            if (qAlpha(secondRow[x]) >= 128)
                dot = kInkDot;
            else if (qAlpha(blackRow[x]) >= 128)
                dot = kBlackDot;
        }
    }
    result.logo = LogoFromDots(dotWidth, dotHeight, std::move(dots), settings);
    return result;
}

std::optional<ComposedLogo> ComposeLogoFromFiles(const ComposeLayout& layout, const ImportSettings& settings,
                                                 QString* error)
{
    QImage picture;
    if (layout.picture) {
        const std::optional<QImage> loaded = LoadPicture(
            layout.picture->path, [&](QSize natural) { return ImportSourceSize(natural, settings); }, error);
        if (!loaded)
            return std::nullopt;
        picture = *loaded;
    }
    return ComposeLogo(layout, picture, settings, error);
}

QString ComposedLogoFileName(const ComposeLayout& layout, const ImportSettings& settings)
{
    const QByteArray key = (FormatComposeLayout(layout) + '\n' + DescribeImportSettings(settings)).toUtf8();
    const QString hash = QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(8));
    return QStringLiteral("compose-k%1-%2-%3.bmp").arg(settings.modelType.Number()).arg(settings.receiptWidth).arg(hash);
}
