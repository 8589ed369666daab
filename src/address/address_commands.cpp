#include "address/address_commands.h"

QByteArray InitializeCommand()
{
    return QByteArray("\x1B\x40", 2);
}

QByteArray KeyCodeListCommand()
{
    return QByteArray("\x1D\x28\x4C\x04\x00\x30\x40\x4B\x43", 9);
}

QByteArray DeleteImageCommand(const NvAddress& address)
{
    return QByteArray("\x1D\x28\x4C\x04\x00\x30\x42", 7) + address[0] + address[1];
}

QByteArray DeleteAllImagesCommand()
{
    return QByteArray("\x1D\x28\x4C\x05\x00\x30\x41\x43\x4C\x52", 10);
}

QByteArray PrintImageCommand(const NvAddress& address)
{
    return QByteArray("\x1D\x28\x4C\x06\x00\x30\x45", 7) + address[0] + address[1] + QByteArray("\x01\x01", 2);
}

QByteArray RemainingCapacityCommand()
{
    return QByteArray("\x1D\x28\x4C\x02\x00\x30\x33", 7);
}

std::optional<NvAddress> AddressFromText(const QString& text)
{
    const QByteArray bytes = text.toLatin1();
    if (bytes.size() < 2)
        return std::nullopt;
    return NvAddress{bytes[0], bytes[1]};
}

QString AddressText(const NvAddress& address)
{
    return QString::fromLatin1(address.data(), 2);
}
