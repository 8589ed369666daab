// The network module's entry points, the module opened on first use.
#include "framework/private_module.h"
#include "transport/socket_stream.h"

std::unique_ptr<CSocketStream> MakeSocketStream(QString* reason)
{
    const auto make = reinterpret_cast<MakeSocketStreamFunction*>(
        ResolvePrivateModule("markograph-net", kMakeSocketStreamSymbol, reason));
    if (!make)
        return nullptr;
    return std::unique_ptr<CSocketStream>(make());
}

std::optional<quint32> ParseIpv4Address(const QString& text, QString* reason)
{
    const auto parse = reinterpret_cast<ParseIpv4Function*>(ResolvePrivateModule("markograph-net", kParseIpv4Symbol, reason));
    quint32 value = 0;
    if (!parse || !parse(text, &value))
        return std::nullopt;
    return value;
}
