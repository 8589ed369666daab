#include "config/model_file.h"

#include "config/profile_file.h"

#include <QCoreApplication>

QString ModelFilePath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/NV.inf");
}

QString ReadDescription(const CProfileFile& file)
{
    return file.ReadString(kSectionCommon, kKeyDescription);
}
