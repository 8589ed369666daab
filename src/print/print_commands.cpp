#include "print/print_commands.h"

QByteArray HeaderBlock(int number)
{
    QByteArray block(30, '\0');
    const QByteArray text = QByteArray("----- Logo : ") + QByteArray::number(number) + " -----\n";
    block.replace(0, std::min<qsizetype>(text.size(), block.size()), text.left(block.size()));
    return block;
}

QByteArray PrintNvBitImageCommand(int number, int quality)
{
    return QByteArray("\x1C\x70", 2) + static_cast<char>(number & 0xFF) + static_cast<char>(quality & 0xFF);
}

QByteArray PrintDotImageCommand(int number)
{
    return QByteArray("\x1B\x67", 2) + static_cast<char>(number & 0xFF);
}
