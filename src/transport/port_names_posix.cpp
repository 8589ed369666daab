#include "transport/port_names.h"

namespace {

// The number after the prefix, when the rest of the name is a decimal number
// from 1 up; else 0.
int PortNumber(const QString& portName, QStringView prefix)
{
    if (!portName.startsWith(prefix))
        return 0;
    const QStringView digits = QStringView(portName).mid(prefix.size());
    if (digits.isEmpty() || digits.size() > 4)
        return 0;
    for (const QChar c : digits) {
        if (c < u'0' || c > u'9')
            return 0;
    }
    return digits.toInt();
}

}  // namespace

QString SerialDevicePath(const QString& portName, const QString& deviceRoot)
{
    if (portName.startsWith(u'/'))
        return portName;
    const int number = PortNumber(portName, u"COM");
    return number > 0 ? deviceRoot + QStringLiteral("/ttyS%1").arg(number - 1) : QString();
}

QString ParallelDevicePath(const QString& portName, const QString& deviceRoot)
{
    const int number = PortNumber(portName, u"LPT");
    return number > 0 ? deviceRoot + QStringLiteral("/lp%1").arg(number - 1) : QString();
}

bool IsSerialDevicePath(const QString& portName)
{
    return portName.startsWith(QStringLiteral("/dev/tty")) || portName.startsWith(QStringLiteral("/dev/pts/"));
}
