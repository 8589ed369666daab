#include "print/print_commands.h"

#include "kinds/command_bytes.h"

QByteArray HeaderBlock(int number)
{
    QByteArray block(30, '\0');
    const QByteArray text = QByteArray("----- Logo : ") + QByteArray::number(number) + " -----\n";
    block.replace(0, std::min<qsizetype>(text.size(), block.size()), text.left(block.size()));
    return block;
}

QByteArray PrintNvBitImageCommand(int number, PrintSizeMode sizeMode)
{
    return cmd::Bytes({cmd::kFs, cmd::kMonoPrint, cmd::LowByte(number), static_cast<unsigned char>(sizeMode)});
}

QByteArray PrintDotImageCommand(int number)
{
    return cmd::Bytes({cmd::kEsc, cmd::kDotImage, cmd::LowByte(number)});
}
