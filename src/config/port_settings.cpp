#include "config/port_settings.h"

#include <array>

namespace {

// By parity value.
constexpr std::array<const char*, 3> kParityNames = {"NONE", "ODD", "EVEN"};

}  // namespace

std::optional<Parity> ParityFromName(const QString& name)
{
    for (size_t i = 0; i < kParityNames.size(); ++i) {
        if (name == QLatin1String(kParityNames[i]))
            return static_cast<Parity>(i);
    }
    return std::nullopt;
}

QString ParityName(Parity parity)
{
    const auto index = static_cast<size_t>(parity);
    return QString::fromLatin1(index < kParityNames.size() ? kParityNames[index] : kParityNames[0]);
}
