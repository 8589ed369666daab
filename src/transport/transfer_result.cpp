#include "transport/transfer_result.h"

#include <cerrno>
#include <cstring>

QString TransportError::Text() const
{
    if (!IsSet())
        return {};
    return what + QStringLiteral(": ") + (reason.isEmpty() ? QString::fromLocal8Bit(std::strerror(code)) : reason);
}

TransportError TransportError::FromLastError(const char* operation, const QString& path)
{
    const int code = errno;
    return {code, QString::fromLatin1(operation) + u' ' + path, {}};
}
