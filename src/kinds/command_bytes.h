#pragma once

#include <QByteArray>

#include <initializer_list>
#include <optional>

// The bytes of the three command sets, named once. The host builds its
// commands from them (download, print, address and record builders) and the
// virtual printer decodes with the same names, so both ends agree by
// construction. Values are unsigned bytes; commands are built as char.
namespace cmd {

// Leading bytes.
inline constexpr unsigned char kEsc = 0x1B;
inline constexpr unsigned char kFs = 0x1C;
inline constexpr unsigned char kGs = 0x1D;
inline constexpr unsigned char kCr = 0x0D;

// Every kind: ESC @ initialises the printer.
inline constexpr unsigned char kInitialise = 0x40;  // '@'

// DOT MODE (impact printer).
// ESC g 0 n + length table + streams: define NV images 1..n.
// ESC g n (n >= 1): print image n.
inline constexpr unsigned char kDotImage = 0x67;  // 'g'
// Band stream lines: ESC r c (colour), ESC * m nL nH + columns, CR, ESC J n.
inline constexpr unsigned char kDotColour = 0x72;       // 'r'
inline constexpr unsigned char kDotBitImage = 0x2A;     // '*'
inline constexpr unsigned char kDotFeed = 0x4A;         // 'J'
inline constexpr unsigned char kDotColourBlack = 0x00;  // even colours print black
inline constexpr unsigned char kDotColourRed = 0x01;    // odd colours print red

// Single-colour thermal.
// FS q n + n records xL xH yL yH + columns: define NV bit images 1..n.
// FS p n m: print image n in size mode m.
inline constexpr unsigned char kMonoDefine = 0x71;  // 'q'
inline constexpr unsigned char kMonoPrint = 0x70;   // 'p'

// Two-colour thermal: GS 8 L (define) and GS ( L (functions), both followed
// by a little-endian parameter length and m = 30.
inline constexpr unsigned char kTwoColorDefine = 0x38;    // '8'
inline constexpr unsigned char kTwoColorFunction = 0x28;  // '('
inline constexpr unsigned char kTwoColorL = 0x4C;         // 'L'
inline constexpr unsigned char kTwoColorM = 0x30;
// GS 8 L fn 43, then a = 30 (raster format).
inline constexpr unsigned char kFnDefineRaster = 0x43;
inline constexpr unsigned char kRasterFormat = 0x30;
inline constexpr unsigned char kPlaneBlack = 0x31;
inline constexpr unsigned char kPlaneRed = 0x32;
// GS ( L functions.
inline constexpr unsigned char kFnKeyCodeList = 0x40;  // 64, parameters "KC"
inline constexpr unsigned char kFnDeleteAll = 0x41;    // 65, parameters "CLR"
inline constexpr unsigned char kFnDeleteOne = 0x42;    // 66, kc1 kc2
inline constexpr unsigned char kFnPrint = 0x45;        // 69, kc1 kc2 x y
inline constexpr unsigned char kFnCapacity = 0x33;     // 51
// Replies: 37 72 s pairs... 00 (key-code list; s 40 complete, 41 more
// follows) and 37 31 digits 00 (remaining capacity).
inline constexpr unsigned char kReplyHead = 0x37;
inline constexpr unsigned char kReplyKeyList = 0x72;
inline constexpr unsigned char kReplyCapacity = 0x31;
inline constexpr unsigned char kKeyListComplete = 0x40;
inline constexpr unsigned char kKeyListMore = 0x41;

// A byte as the commands are built: QByteArray holds char.
constexpr char Char(unsigned char byte)
{
    return static_cast<char>(byte);
}

// The low byte of a number, as counts and numbers go into commands.
constexpr unsigned char LowByte(int value)
{
    return static_cast<unsigned char>(value & 0xFF);
}

// A command from its bytes.
inline QByteArray Bytes(std::initializer_list<unsigned char> bytes)
{
    QByteArray command;
    command.reserve(static_cast<qsizetype>(bytes.size()));
    for (unsigned char byte : bytes)
        command.append(Char(byte));
    return command;
}

}  // namespace cmd

// The size mode m of FS p n m, numbered as the command carries it.
enum class PrintSizeMode : unsigned char {
    Normal = 0,
    DoubleWidth = 1,
    DoubleHeight = 2,
    DoubleBoth = 3,
};

// The size mode a number names (0 to 3), or none.
constexpr std::optional<PrintSizeMode> PrintSizeModeFromNumber(int number)
{
    if (number < 0 || number > static_cast<int>(PrintSizeMode::DoubleBoth))
        return std::nullopt;
    return static_cast<PrintSizeMode>(number);
}
