#pragma once

#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <vector>

// Value types of the store, numbered as the registry numbers them. The three
// string types are read alike; nothing expands environment references.
namespace win {
inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegLink = 6;
inline constexpr std::uint32_t kRegMultiSz = 7;
}  // namespace win

// One stored value: a type and the bytes it holds, in a buffer the object owns.
// Strings are held as UTF-8 followed by one zero byte. A plain value type:
// copying copies the bytes.
class CRegistryValue {
public:
    CRegistryValue() = default;
    // A kRegSz value holding the text.
    explicit CRegistryValue(const QString& text);

    // Holds the text and a terminating zero byte (a null text counts as empty);
    // the type becomes kRegExpandSz when expand is true, else kRegSz. The flag
    // only records the type: the text is never expanded.
    void SetString(const QString& text, bool expand);

    // Drops the previous bytes and holds the given number of zero bytes instead;
    // returns the buffer to fill, or null for zero bytes or when the memory
    // cannot be had (the value is then empty).
    std::uint8_t* Allocate(std::uint32_t bytes);

    // Drops the bytes: Data() null, Size() 0. The type stays.
    void Free();

    void SetType(std::uint32_t type) { m_type = type; }

    // For kRegSz, kRegExpandSz and kRegLink puts the bytes up to the first
    // zero byte (or to the end, when a hand-made value has none) into *text as
    // UTF-8 and returns true; for any other type returns false and leaves
    // *text alone.
    bool ToString(QString* text) const;

    std::uint32_t Type() const { return m_type; }
    std::uint32_t Size() const { return static_cast<std::uint32_t>(m_data.size()); }
    const std::uint8_t* Data() const { return m_data.empty() ? nullptr : m_data.data(); }
    QByteArrayView Bytes() const { return QByteArrayView(m_data.data(), static_cast<qsizetype>(m_data.size())); }

private:
    std::vector<std::uint8_t> m_data;
    std::uint32_t m_type = win::kRegNone;
};
