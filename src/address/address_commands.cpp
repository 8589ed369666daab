#include "address/address_commands.h"

#include <algorithm>

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

bool IsAddressCharacter(QChar c)
{
    return c.unicode() >= 0x20 && c.unicode() <= 0x7E;
}

bool HasOnlyAddressCharacters(const QString& text)
{
    return std::all_of(text.begin(), text.end(), IsAddressCharacter);
}

std::optional<NvAddress> AddressFromText(const QString& text)
{
    if (text.size() < 2 || !IsAddressCharacter(text[0]) || !IsAddressCharacter(text[1]))
        return std::nullopt;
    return NvAddress{static_cast<char>(text[0].unicode()), static_cast<char>(text[1].unicode())};
}

QString AddressText(const NvAddress& address)
{
    return QString::fromLatin1(address.data(), 2);
}
