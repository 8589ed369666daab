#include "framework/private_module.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QMutex>

#include <map>
#include <memory>
#include <string>

namespace {

// The program's own folder; before (or without) an application object the
// system's link to the running executable says where it is.
QString ProgramFolder()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget()).absolutePath();
}

}  // namespace

QString PrivateModuleFolder()
{
    const QString configured = qEnvironmentVariable("MARKOGRAPH_MODULE_DIR");
    if (!configured.isEmpty())
        return configured;
    return QDir::cleanPath(ProgramFolder() + QStringLiteral("/../lib/markograph"));
}

void (*ResolvePrivateModule(const char* name, const char* symbol, QString* reason))()
{
    static QMutex mutex;
    static std::map<std::string, std::unique_ptr<QLibrary>> opened;
    const QMutexLocker lock(&mutex);
    std::unique_ptr<QLibrary>& library = opened[name];
    if (!library) {
        library = std::make_unique<QLibrary>(PrivateModuleFolder() + u'/' + QLatin1String(name));
        // Symbols stay local to the module: it brings its own copy of what
        // it uses and never binds to another module's.
        library->setLoadHints(QLibrary::PreventUnloadHint);
    }
    if (!library->isLoaded() && !library->load()) {
        if (reason)
            *reason = QStringLiteral("cannot load the module %1: %2").arg(QLatin1String(name), library->errorString());
        return nullptr;
    }
    const QFunctionPointer entry = library->resolve(symbol);
    if (!entry && reason)
        *reason = QStringLiteral("the module %1 has no entry %2").arg(QLatin1String(name), QLatin1String(symbol));
    return entry;
}
