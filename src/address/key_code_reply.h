#pragma once

#include <QByteArray>
#include <QStringList>

// The key-code list reply: 37 72 s (s = 40, or 41 when the printer would go
// on in a further reply), address pairs kc1 kc2, then 00. Addresses come back
// as two-character strings in reply order.

// The longest key-code list reply read (126 pairs after the header). A
// printer may send more pairs in one reply than the 43 that fit 90 bytes;
// a reply longer than this is cut, and then reads as incomplete.
inline constexpr int kKeyCodeListReplyBytes = 256;

// Incomplete: the reply carries addresses, but the printer holds more than
// it lists, so the list must never be taken as the printer's whole memory.
enum class KeyCodeListOutcome { Listed, Incomplete, Empty, Bad };

struct KeyCodeList {
    KeyCodeListOutcome outcome = KeyCodeListOutcome::Bad;
    QStringList addresses;  // for Bad: the good pairs before the first bad one
};

// A key-code list reply that does not carry the printer's whole list: marked
// 41 (the command set has no way to ask for the rest, so none is asked), or
// ended without its closing 00 (cut at kKeyCodeListReplyBytes, or the printer
// fell silent half-way). False for a reply that is no key-code list at all.
bool IsKeyCodeListIncomplete(const QByteArray& reply);

// The address list's reading: the header must be exact, and every address
// must be two address characters (20 to 7E, as the prompt and the automatic
// numbering store them); the first pair that is not ends the list as Bad.
// A good reply that IsKeyCodeListIncomplete is Incomplete, with the
// addresses it carries (perhaps none).
KeyCodeList ParseKeyCodeListStrict(const QByteArray& reply);

// The download dialog's reading: any reply starting 37 72 gives all its pairs,
// whatever their bytes; anything else gives none. Whether the list is whole
// is IsKeyCodeListIncomplete's to say.
QStringList ParseKeyCodeListLenient(const QByteArray& reply);

// The remaining-capacity reply 37 31, decimal digits, 00: the free NV memory
// in bytes (at most 8 digits are read); 0 for any other reply.
int ParseRemainingCapacity(const QByteArray& reply);
// True only for a whole capacity reply: 37 31, at least one digit, only
// digits, then 00.
bool IsCapacityReply(const QByteArray& reply);
