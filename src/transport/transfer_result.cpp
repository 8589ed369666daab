#include "transport/transfer_result.h"

#include <cstring>

QString TransportError::Text() const
{
    if (!IsSet())
        return {};
    return what + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(code));
}
