#include "fuzz_support.h"

#include <QFile>
#include <QTemporaryDir>

#include <memory>

const QString& FuzzFolder()
{
    // Destroyed at exit, which removes the folder with everything in it.
    static const std::unique_ptr<QTemporaryDir> folder = [] {
        auto made = std::make_unique<QTemporaryDir>();
        FUZZ_CHECK(made->isValid());
        return made;
    }();
    static const QString path = folder->path();
    return path;
}

void WriteFuzzFile(const QString& path, const uint8_t* data, size_t size)
{
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size)) == static_cast<qint64>(size));
}
