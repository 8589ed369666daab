#include "address/address_sequence.h"

CAddressSequence::Address CAddressSequence::Next()
{
    const Address current{m_kc1, m_kc2};
    if (m_kc2 == '}') {
        m_kc2 = '0';
        ++m_kc1;  // a logo list never holds the 6,084 images that would run kc1 past '}'
    } else {
        ++m_kc2;
    }
    return current;
}

#include "imaging/download_item.h"

void SetItemAddress(DownloadItem& item, const CAddressSequence::Address& address)
{
    if (item.data.size() < kKeyCodeOffset + 2)
        return;
    item.data[kKeyCodeOffset] = address[0];
    item.data[kKeyCodeOffset + 1] = address[1];
}
