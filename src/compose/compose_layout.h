#pragma once

#include "import/import_settings.h"

#include <QString>

#include <optional>
#include <vector>

// What a composed logo is made of: lines of text, an optional QR code and an
// optional picture. All sizes are in the printer's dots at full resolution,
// the pixels of the logo BMP (for DOT MODE that is the quad-density grid, so
// a size means the same length on paper at every density).

// The family compose uses when none is given, or when the one given is not
// installed (Debian: fonts-dejavu-core).
inline constexpr char kDefaultComposeFont[] = "DejaVu Sans";

enum class ComposeAlign { Left, Center, Right };
enum class QrPosition { Below, Beside };
// Which ink an element prints in: black, or the second ink of a two-colour
// printer (red, green or blue, as the import's ink setting says).
enum class ComposeInk { Black, Second };
// The four error-correction levels, from about 7% to about 30% of the code
// that may be lost and still read.
enum class QrLevel { L, M, Q, H };

struct ComposeTextLine {
    QString text;
    QString font = QString::fromLatin1(kDefaultComposeFont);
    int size = 32;  // the font's pixel size (em height)
    bool bold = false;
    ComposeAlign align = ComposeAlign::Center;
    ComposeInk ink = ComposeInk::Black;

    friend bool operator==(const ComposeTextLine&, const ComposeTextLine&) = default;
};

struct ComposeQr {
    QString content;
    QrLevel level = QrLevel::M;
    int module = 0;  // dots per module; 0: the largest that fits
    QrPosition position = QrPosition::Below;
    ComposeInk ink = ComposeInk::Black;

    friend bool operator==(const ComposeQr&, const ComposeQr&) = default;
};

struct ComposePicture {
    QString path;  // the import reads it; its fit and tones are the import settings'

    friend bool operator==(const ComposePicture&, const ComposePicture&) = default;
};

// Top to bottom: the picture, the text lines, the QR code (below the text, or
// at the right of it).
struct ComposeLayout {
    std::vector<ComposeTextLine> lines;
    int spacing = 4;      // dots between lines and between the parts
    bool shrink = false;  // a line wider than the paper gets a smaller size instead of a refusal
    std::optional<ComposeQr> qr;
    std::optional<ComposePicture> picture;

    bool IsEmpty() const { return lines.empty() && !qr && !picture; }
    friend bool operator==(const ComposeLayout&, const ComposeLayout&) = default;
};

inline constexpr int kMinComposeSize = 4;
inline constexpr int kMaxComposeSize = 1000;
inline constexpr int kMaxComposeSpacing = 1000;
inline constexpr int kMaxQrModule = 100;

// Names as the command line, the layout file and the dialog spell them.
QString AlignName(ComposeAlign align);
std::optional<ComposeAlign> ParseAlign(const QString& name);
QString QrPositionName(QrPosition position);
std::optional<QrPosition> ParseQrPosition(const QString& name);
QString ComposeInkName(ComposeInk ink);  // "black", "second"
std::optional<ComposeInk> ParseComposeInk(const QString& name);
QString QrLevelName(QrLevel level);      // "L", "M", "Q", "H"
std::optional<QrLevel> ParseQrLevel(const QString& name);

// A reason why the layout cannot be composed (nothing in it, a size out of
// range, the second ink on a printer that has none), or an empty string.
QString CheckComposeLayout(const ComposeLayout& layout, const CModelType& modelType);

// The layout file: one element a line, blank lines and lines starting with
// '#' ignored. An element is a word, settings as key=value (values with
// spaces in double quotes) and, after the first ':', its content verbatim:
//
//   text font="DejaVu Serif" size=40 bold align=center ink=second: Corner Café
//   text size=24 align=left: 12 Harbour Street
//   qr level=M module=4 position=beside ink=black: https://example.com/menu
//   picture: shop.png
//   spacing 6
//   shrink
//
// Text and QR settings not given on a line take the values of textDefaults
// and qrDefaults (the command line's options). A relative picture path is
// taken from the layout file's folder (baseFolder). Nothing, with the line
// number and the reason in *error, when a line cannot be read.
std::optional<ComposeLayout> ParseComposeLayout(const QString& text, const QString& baseFolder,
                                                const ComposeTextLine& textDefaults, const ComposeQr& qrDefaults,
                                                QString* error);

// The layout in the file's form; parsing it gives the same layout back. It
// also names a composition, so two logos of one layout get the same file.
QString FormatComposeLayout(const ComposeLayout& layout);
