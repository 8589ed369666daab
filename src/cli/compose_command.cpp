#include "cli/cli_commands.h"
#include "cli/cli_common.h"
#include "cli/cli_import.h"
#include "compose/logo_composer.h"
#include "framework/atomic_file.h"
#include "framework/regular_file.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>

namespace {

void AddComposeOptions(QCommandLineParser& parser)
{
    parser.addOptions({
        {"text", "A line of text; repeat for more lines, top to bottom.", "line"},
        {"font", QStringLiteral("Font family of the text (default %1).").arg(kDefaultComposeFont), "family"},
        {"size", "Text size in dots (default 32).", "dots"},
        {"bold", "Bold text."},
        {"align", "left, center (default) or right.", "where"},
        {"spacing", "Dots between lines and between the parts (default 4).", "dots"},
        {"shrink", "Shrink a line wider than the paper until it fits, instead of refusing it."},
        {"text-ink", "Two-colour printers: the text in black (default) or the second ink.", "black|second"},
        {"qr", "Content of a QR code.", "content"},
        {"qr-level", "QR error correction: L, M (default), Q or H.", "level"},
        {"qr-module", "QR module size in dots (default: the largest that fits the width).", "dots"},
        {"qr-position", "The QR code below (default) or beside the text.", "below|beside"},
        {"qr-ink", "Two-colour printers: the QR code in black (default) or the second ink.", "black|second"},
        {"picture", "A picture above the text, imported with the import options.", "file"},
        {"layout", "A layout file, one element a line (text, qr, picture, spacing, shrink); the text and QR "
                   "options above are its defaults.", "file"},
        {"density", "DOT MODE: the density the logo will be downloaded at, 0 single, 1 double, 2 quad (default 0).",
         "0|1|2"},
        {"preview", "Also write the logo as it prints (PNG).", "OUT.png"},
        {{"o", "output"}, "The BMP to write (default: a new file in ~/.local/share/markograph/logos).", "OUT.bmp"},
    });
}

template <typename Enum>
bool NamedOption(const QCommandLineParser& parser, const QString& name, std::optional<Enum> (*parse)(const QString&),
                 const char* choices, Enum* out)
{
    if (!parser.isSet(name))
        return true;
    const std::optional<Enum> value = parse(parser.value(name));
    if (!value) {
        PrintError(QStringLiteral("--%1 takes %2, not '%3'.").arg(name, QLatin1String(choices), parser.value(name)));
        return false;
    }
    *out = *value;
    return true;
}

// The layout from --layout, or from --text, --qr and --picture; the text and
// QR options are the defaults of every line.
std::optional<ComposeLayout> ResolveLayout(const QCommandLineParser& parser, int* exitCode)
{
    *exitCode = kExitUsage;
    bool ok = true;
    ComposeTextLine text;
    if (parser.isSet("font"))
        text.font = parser.value("font");
    text.size = IntOption(parser, "size", text.size, kMinComposeSize, kMaxComposeSize, &ok);
    text.bold = parser.isSet("bold");
    ok = NamedOption(parser, "align", &ParseAlign, "left, center or right", &text.align) && ok;
    ok = NamedOption(parser, "text-ink", &ParseComposeInk, "black or second", &text.ink) && ok;
    ComposeQr qr;
    ok = NamedOption(parser, "qr-level", &ParseQrLevel, "L, M, Q or H", &qr.level) && ok;
    qr.module = IntOption(parser, "qr-module", 0, 1, kMaxQrModule, &ok);
    ok = NamedOption(parser, "qr-position", &ParseQrPosition, "below or beside", &qr.position) && ok;
    ok = NamedOption(parser, "qr-ink", &ParseComposeInk, "black or second", &qr.ink) && ok;
    const int spacing = IntOption(parser, "spacing", ComposeLayout().spacing, 0, kMaxComposeSpacing, &ok);
    if (!ok)
        return std::nullopt;

    ComposeLayout layout;
    if (parser.isSet("layout")) {
        if (parser.isSet("text") || parser.isSet("qr") || parser.isSet("picture")) {
            PrintError("Give the parts either in --layout or with --text, --qr and --picture, not both.");
            return std::nullopt;
        }
        *exitCode = kExitFailed;
        const QString path = parser.value("layout");
        QFile file;
        QString error;
        if (!OpenRegularFile(path, file, &error)) {
            PrintError(error);
            return std::nullopt;
        }
        const std::optional<ComposeLayout> read = ParseComposeLayout(
            QString::fromUtf8(file.readAll()), QFileInfo(path).absolutePath(), text, qr, &error);
        if (!read) {
            PrintError(QStringLiteral("%1: %2").arg(path, error));
            return std::nullopt;
        }
        layout = *read;
    } else {
        for (const QString& line : parser.values("text")) {
            layout.lines.push_back(text);
            layout.lines.back().text = line;
        }
        if (parser.isSet("qr")) {
            qr.content = parser.value("qr");
            layout.qr = qr;
        }
        if (parser.isSet("picture"))
            layout.picture = ComposePicture{parser.value("picture")};
    }
    if (parser.isSet("spacing") || !parser.isSet("layout"))
        layout.spacing = spacing;
    layout.shrink = layout.shrink || parser.isSet("shrink");
    return layout;
}

bool WritePreview(const ImportedLogo& logo, const QString& path)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QString error;
    if (!logo.Preview().save(&buffer, "PNG") || !WriteFileAtomically(path, png, &error)) {
        PrintError(error.isEmpty() ? QStringLiteral("%1: the preview cannot be written.").arg(path) : error);
        return false;
    }
    return true;
}

}  // namespace

std::unique_ptr<QCoreApplication> MakeComposeApplication(int& argc, char** argv)
{
    // Text needs the font database, which only a GUI application has; the
    // offscreen platform gives it without a display and never opens a window.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return std::make_unique<QGuiApplication>(argc, argv);
}

int RunComposeCommand(const QStringList& args)
{
    QCommandLineParser parser;
    AddModelOptions(parser);
    AddImportOptions(parser);
    AddComposeOptions(parser);
    if (auto done = ParseCommandLine(parser, args,
                                     "Composes a logo from lines of text, a QR code and a picture, laid out for "
                                     "the printer's width and kind, and writes it as a BMP logo. Prints the logo "
                                     "with the settings to add it with (the --logo-list form)."))
        return *done;
    if (!parser.positionalArguments().isEmpty()) {
        PrintError("compose takes no file arguments: give --text, --qr, --picture or --layout.");
        return kExitUsage;
    }
    int exitCode = kExitOk;
    const std::optional<ImportSettings> settings = ResolveModelImportSettings(parser, &exitCode);
    if (!settings)
        return exitCode;
    const std::optional<ComposeLayout> layout = ResolveLayout(parser, &exitCode);
    if (!layout)
        return exitCode;
    QString error;
    const std::optional<ComposedLogo> composed = ComposeLogoFromFiles(*layout, *settings, &error);
    if (!composed) {
        PrintError(error);
        return kExitFailed;
    }
    for (const QString& note : composed->notes)
        PrintError(note);
    if (parser.isSet("preview") && !WritePreview(composed->logo, parser.value("preview")))
        return kExitFailed;
    const QString output = parser.isSet("output")
                               ? parser.value("output")
                               : ImportedLogosFolder() + '/' + ComposedLogoFileName(*layout, *settings);
    return SaveAndReportLogo(composed->logo, output);
}
