#include "sim/sim_output.h"

#include "framework/atomic_file.h"

#include <QBuffer>
#include <QDir>
#include <QFile>

bool CSimOutput::Prepare(QString* error) const
{
    if (!IsEnabled() || QDir().mkpath(m_folder))
        return true;
    if (error)
        *error = QStringLiteral("%1: cannot create the output folder").arg(m_folder);
    return false;
}

QString CSimOutput::StoredFileName(bool addressed, int key)
{
    if (addressed)
        return QStringLiteral("nv-%1.png").arg(key, 4, 16, QLatin1Char('0'));
    return QStringLiteral("nv-%1.png").arg(key, 3, 10, QLatin1Char('0'));
}

QString CSimOutput::PrintFileName(qint64 sequence)
{
    return QStringLiteral("print-%1.png").arg(sequence, 6, 10, QLatin1Char('0'));
}

bool CSimOutput::WritePng(const QString& fileName, const CDotGrid& grid, int scaleX, int scaleY, QString* error) const
{
    if (!IsEnabled())
        return true;
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!grid.ToImage(scaleX, scaleY).save(&buffer, "PNG")) {
        if (error)
            *error = QStringLiteral("%1: cannot encode the image").arg(fileName);
        return false;
    }
    return WriteFile(fileName, png, error);
}

bool CSimOutput::WriteFile(const QString& fileName, const QByteArray& bytes, QString* error) const
{
    if (!IsEnabled())
        return true;
    return WriteFileAtomically(m_folder + QLatin1Char('/') + fileName, bytes, error);
}

void CSimOutput::Remove(const QString& fileName) const
{
    if (IsEnabled())
        QFile::remove(m_folder + QLatin1Char('/') + fileName);
}
