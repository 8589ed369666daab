#include "address/address_commands.h"

#include "kinds/command_bytes.h"

#include <algorithm>

namespace {

// GS ( L pL pH m fn and the parameters; the length counts m, fn and them.
QByteArray TwoColorFunction(unsigned char fn, QByteArrayView parameters)
{
    const int length = 2 + static_cast<int>(parameters.size());
    return cmd::Bytes({cmd::kGs, cmd::kTwoColorFunction, cmd::kTwoColorL, cmd::LowByte(length), cmd::LowByte(length >> 8),
                       cmd::kTwoColorM, fn})
        .append(parameters);
}

QByteArray AddressBytes(const NvAddress& address)
{
    return QByteArray(address.data(), 2);
}

}  // namespace

QByteArray InitializeCommand()
{
    return cmd::Bytes({cmd::kEsc, cmd::kInitialise});
}

QByteArray KeyCodeListCommand()
{
    return TwoColorFunction(cmd::kFnKeyCodeList, "KC");
}

QByteArray DeleteImageCommand(const NvAddress& address)
{
    return TwoColorFunction(cmd::kFnDeleteOne, AddressBytes(address));
}

QByteArray DeleteAllImagesCommand()
{
    return TwoColorFunction(cmd::kFnDeleteAll, "CLR");
}

QByteArray PrintImageCommand(const NvAddress& address)
{
    // Scale 1 x 1.
    return TwoColorFunction(cmd::kFnPrint, AddressBytes(address) + cmd::Bytes({1, 1}));
}

QByteArray RemainingCapacityCommand()
{
    return TwoColorFunction(cmd::kFnCapacity, {});
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
