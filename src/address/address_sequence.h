#pragma once

#include <array>

// Two-colour printers keep each NV image under a two-byte key code kc1 kc2,
// shown as two characters. An automatic run gives the images of one download
// consecutive addresses: "00", "01", ... "0}", then "10", "11" ...: kc2 runs
// through the characters '0' (30) to '}' (7D), then kc1 goes up by one.
class CAddressSequence {
public:
    using Address = std::array<char, 2>;

    // The address for the next image; the first call gives "00".
    Address Next();

private:
    char m_kc1 = '0';
    char m_kc2 = '0';
};

struct DownloadItem;

// Writes the address into a define command's key-code bytes. An item too
// short to be a define command is left alone.
void SetItemAddress(DownloadItem& item, const CAddressSequence::Address& address);
