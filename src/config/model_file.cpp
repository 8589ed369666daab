#include "config/model_file.h"

#include "config/profile_file.h"
#include "framework/atomic_file.h"
#include "framework/regular_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QtDebug>

namespace {

const char kModelFileName[] = "NV.inf";
// Relative to the executable's folder: where an install puts the sample.
const char kSharedModelFile[] = "../share/markograph/NV.inf";
// Relative to the per-user config folder.
const char kUserModelFile[] = "markograph/NV.inf";

bool IsWritableFolder(const QString& folder)
{
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable();
}

// Copies the installed model file to target, byte for byte, unless target
// exists already. The copy appears whole or not at all.
bool MakeUserCopy(const QString& installed, const QString& target, QString* error)
{
    if (QFileInfo::exists(target))
        return true;
    QFile source;
    QString reason;
    if (!OpenRegularFile(installed, source, &reason)) {
        *error = QStringLiteral("%1: %2").arg(installed, reason);
        return false;
    }
    const QByteArray bytes = source.readAll();
    if (source.error() != QFileDevice::NoError) {
        *error = QStringLiteral("%1: %2").arg(installed, source.errorString());
        return false;
    }
    const QString folder = QFileInfo(target).absolutePath();
    if (!QDir().mkpath(folder)) {
        *error = QStringLiteral("%1: cannot create the folder").arg(folder);
        return false;
    }
    return WriteFileAtomically(target, bytes, error);
}

}  // namespace

QString ModelFilePath()
{
    return ResolveModelFilePath(QCoreApplication::applicationDirPath(),
                                QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
}

QString ResolveModelFilePath(const QString& programFolder, const QString& userConfigFolder)
{
    const QString beside = QDir(programFolder).filePath(kModelFileName);
    const QString shared = QDir::cleanPath(QDir(programFolder).filePath(kSharedModelFile));
    const bool besideExists = QFileInfo::exists(beside);
    const bool sharedExists = QFileInfo::exists(shared);

    if (IsWritableFolder(programFolder) && (besideExists || !sharedExists))
        return beside;

    const QString installed = besideExists ? beside : (sharedExists ? shared : QString());
    if (userConfigFolder.isEmpty())
        return installed.isEmpty() ? beside : installed;
    const QString userCopy = QDir(userConfigFolder).filePath(kUserModelFile);
    if (installed.isEmpty())
        return userCopy;
    QString error;
    if (!MakeUserCopy(installed, userCopy, &error)) {
        qWarning().noquote() << "Cannot make the per-user copy of the model file:" << error
                             << "- using" << installed;
        return installed;
    }
    return userCopy;
}

QString ReadDescription(const CProfileFile& file)
{
    return file.ReadString(kSectionCommon, kKeyDescription);
}
