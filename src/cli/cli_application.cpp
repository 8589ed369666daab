#include "cli/cli_application.h"

#include "framework/regular_file.h"
#include "import/svg_drawing.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>

namespace {

bool IsImportingCommand(const QByteArray& command)
{
    return command == "import" || command == "convert" || command == "save" || command == "download" ||
           command == "upload" || command == "fleet";
}

bool NamesDrawing(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == "svg" || suffix == "svgz")
        return true;
    QFile file;
    QString reason;
    if (!NonRegularFileReason(path).isEmpty() || !QFileInfo(path).isFile() || !OpenRegularFile(path, file, &reason))
        return false;
    return LooksLikeSvg(file.read(512));
}

// A GUI application without its platform plug-in ends the process; without
// one the core application is used, and the loader refuses text with its
// reason instead.
bool HasOffscreenPlatform()
{
    for (const QString& folder : QCoreApplication::libraryPaths()) {
        if (!QDir(folder + QStringLiteral("/platforms")).entryList({QStringLiteral("*offscreen*")}, QDir::Files).isEmpty())
            return true;
    }
    return false;
}

}  // namespace

bool ArgumentsNameDrawings(int argc, char** argv)
{
    if (argc < 2 || !IsImportingCommand(QByteArray(argv[1])))
        return false;
    for (int i = 2; i < argc; ++i) {
        if (argv[i][0] != '-' && NamesDrawing(QFile::decodeName(argv[i])))
            return true;
    }
    return false;
}

std::unique_ptr<QCoreApplication> MakeCliApplication(int& argc, char** argv, bool drawings)
{
    if (!drawings || !HasOffscreenPlatform())
        return std::make_unique<QCoreApplication>(argc, argv);
    // Only this program's own process sees the setting; it starts no other.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return std::make_unique<QGuiApplication>(argc, argv);
}
