#include "logos/registry_value.h"

#include <algorithm>
#include <new>

CRegistryValue::CRegistryValue(const QString& text)
{
    SetString(text, false);
}

void CRegistryValue::SetString(const QString& text, bool expand)
{
    const QByteArray bytes = text.toUtf8();
    std::uint8_t* buffer = Allocate(static_cast<std::uint32_t>(bytes.size() + 1));
    if (buffer)
        std::copy(bytes.begin(), bytes.end(), buffer);  // the last byte stays zero
    m_type = expand ? win::kRegExpandSz : win::kRegSz;
}

std::uint8_t* CRegistryValue::Allocate(std::uint32_t bytes)
{
    Free();
    if (bytes == 0)
        return nullptr;
    try {
        m_data.assign(bytes, 0);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    return m_data.data();
}

void CRegistryValue::Free()
{
    // swap instead of clear(): the memory is given back, not only the size.
    std::vector<std::uint8_t>().swap(m_data);
}

bool CRegistryValue::ToString(QString* text) const
{
    if (m_type != win::kRegSz && m_type != win::kRegExpandSz && m_type != win::kRegLink)
        return false;
    const auto end = std::find(m_data.begin(), m_data.end(), std::uint8_t{0});
    *text = QString::fromUtf8(reinterpret_cast<const char*>(m_data.data()), end - m_data.begin());
    return true;
}
