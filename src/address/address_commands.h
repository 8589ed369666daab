#pragma once

#include <QByteArray>

#include <QString>

#include <array>
#include <optional>

// The commands of two-colour printers that keep their NV images under
// two-byte key codes ("addresses"). All but the define command belong to the
// GS ( L family: 1D 28 4C, a 16-bit little-endian parameter length, m = 30,
// then the function byte.
using NvAddress = std::array<char, 2>;

// ESC @: resets the printer's command state before a query.
QByteArray InitializeCommand();
// fn 64: list the key codes in use ("KC").
QByteArray KeyCodeListCommand();
// fn 66: delete the image stored under the address.
QByteArray DeleteImageCommand(const NvAddress& address);
// fn 65: delete every image ("CLR").
QByteArray DeleteAllImagesCommand();
// fn 69: print the image stored under the address at scale 1 x 1.
QByteArray PrintImageCommand(const NvAddress& address);
// fn 51: ask for the remaining NV memory.
QByteArray RemainingCapacityCommand();

// A printer takes key codes from 20 (space) to 7E ('~'); the same range is
// accepted wherever an address is typed, listed or stored.
bool IsAddressCharacter(QChar c);
// True when every character of text is one an address may hold.
bool HasOnlyAddressCharacters(const QString& text);
// Said when a typed address holds another character.
inline constexpr char kAddressCharactersText[] =
    "An address takes only the characters from space to ~ (20 to 7E), such as 00 or A1!";

// The first two characters of an address as typed or listed; nothing when
// the text is shorter (a print or delete needs two address bytes) or one of
// them is no address character.
std::optional<NvAddress> AddressFromText(const QString& text);
QString AddressText(const NvAddress& address);
