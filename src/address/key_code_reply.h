#pragma once

#include <QByteArray>
#include <QStringList>

// The key-code list reply: 37 72 s (s = 40, or 41 when the printer would go
// on in a further reply, which is never asked for), address pairs kc1 kc2,
// then 00. Addresses come back as two-character strings in reply order.

enum class KeyCodeListOutcome { Listed, Empty, Bad };

struct KeyCodeList {
    KeyCodeListOutcome outcome = KeyCodeListOutcome::Bad;
    QStringList addresses;  // for Bad: the good pairs before the first bad one
};

// The address list's reading: the header must be exact, and every address
// must be two address characters (20 to 7E, as the prompt and the automatic
// numbering store them); the first pair that is not ends the list as Bad.
KeyCodeList ParseKeyCodeListStrict(const QByteArray& reply);

// The download dialog's reading: any reply starting 37 72 gives all its pairs,
// whatever their bytes; anything else gives none.
QStringList ParseKeyCodeListLenient(const QByteArray& reply);

// The remaining-capacity reply 37 31, decimal digits, 00: the free NV memory
// in bytes (at most 8 digits are read); 0 for any other reply.
int ParseRemainingCapacity(const QByteArray& reply);
// True only for a whole capacity reply: 37 31, at least one digit, only
// digits, then 00.
bool IsCapacityReply(const QByteArray& reply);
