#include "compose/qr_symbol.h"

#include <qrencode.h>

#include <memory>

namespace {

QRecLevel ToEncoderLevel(QrLevel level)
{
    switch (level) {
    case QrLevel::L: return QR_ECLEVEL_L;
    case QrLevel::M: return QR_ECLEVEL_M;
    case QrLevel::Q: return QR_ECLEVEL_Q;
    case QrLevel::H: return QR_ECLEVEL_H;
    }
    return QR_ECLEVEL_M;
}

// The symbol's side in modules, or 0 when the content does not fit at all.
int SymbolSize(const QString& content, QrLevel level)
{
    const std::optional<QrSymbol> symbol = EncodeQr(content, level);
    return symbol ? symbol->size : 0;
}

}  // namespace

std::optional<QrSymbol> EncodeQr(const QString& content, QrLevel level)
{
    const QByteArray bytes = content.toUtf8();
    if (bytes.isEmpty() || bytes.contains('\0'))
        return std::nullopt;
    // Version 0 lets the encoder take the smallest version that holds the
    // data; case-sensitive so that lower-case letters stay as they are.
    const std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
        QRcode_encodeString(bytes.constData(), 0, ToEncoderLevel(level), QR_MODE_8, 1), &QRcode_free);
    if (!code)
        return std::nullopt;
    QrSymbol symbol;
    symbol.size = code->width;
    symbol.modules.resize(static_cast<size_t>(code->width) * code->width);
    // Bit 0 of each byte is the module's colour; the other bits say which
    // part of the symbol it belongs to.
    for (size_t i = 0; i < symbol.modules.size(); ++i)
        symbol.modules[i] = code->data[i] & 1;
    return symbol;
}

int LargestQrPrefix(const QString& content, QrLevel level, int maxModules)
{
    // The symbol grows with its content, so the longest prefix that fits is
    // found by halving.
    int low = 0;
    int high = static_cast<int>(content.size());
    while (low < high) {
        const int middle = (low + high + 1) / 2;
        const int size = SymbolSize(content.left(middle), level);
        if (size > 0 && size <= maxModules)
            low = middle;
        else
            high = middle - 1;
    }
    return low;
}
