#include "framework/utf8_text.h"

#include <QStringDecoder>

std::optional<QString> DecodeUtf8(QByteArrayView bytes)
{
    // A byte order mark stays a character, as every other decoding here keeps it.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = decoder(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

QString ShowBytes(QByteArrayView bytes)
{
    QString shown;
    for (qsizetype at = 0; at < bytes.size();) {
        // A character is one to four bytes; the first length that decodes
        // cleanly is it.
        qsizetype length = 1;
        for (; length <= 4 && at + length <= bytes.size(); ++length) {
            if (const std::optional<QString> text = DecodeUtf8(bytes.sliced(at, length))) {
                shown += *text;
                break;
            }
        }
        if (length <= 4 && at + length <= bytes.size()) {
            at += length;
            continue;
        }
        shown += QStringLiteral("\\x%1").arg(static_cast<unsigned char>(bytes[at]), 2, 16, QLatin1Char('0'));
        ++at;
    }
    return shown;
}
