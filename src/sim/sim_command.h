#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

// What a decoded command asks of the printer.
enum class SimCommandType {
    Initialise,       // ESC @
    DefineNumbered,   // FS q n / ESC g 0 n: images 1..n replace everything stored
    DefineAddressed,  // GS 8 L: one image under a key code
    PrintNumbered,    // FS p n m / ESC g n
    PrintAddressed,   // GS ( L fn 69
    DeleteAll,        // GS ( L fn 65
    DeleteOne,        // GS ( L fn 66
    ListKeys,         // GS ( L fn 64
    QueryCapacity,    // GS ( L fn 51
    HeaderBlock,      // the text block the host sends in front of a numbered print
    Refused,          // a recognised command that the printer does not carry out
    Abandoned,        // a command that stopped half-way (silence, end of connection)
};

// One decoded command. Images are kept in the form the printer stores them:
// a single-colour record, a whole two-colour define command, or a band stream.
struct SimCommand {
    SimCommand() = default;
    explicit SimCommand(SimCommandType commandType) : type(commandType) {}

    SimCommandType type = SimCommandType::Initialise;
    // Image number (1..255) or key code kc1 * 256 + kc2.
    int key = 0;
    // Print size: FS p's mode m (0 normal, 1 double width, 2 double height,
    // 3 both) or GS ( L's scale factors; -1 where the command has no mode.
    int mode = -1;
    int scaleX = 1;
    int scaleY = 1;
    QString header;                 // print: the header block in front of it, without its line feed
    std::vector<QByteArray> images; // defines: images in number order, or the one addressed image
    QString name;                   // Refused / Abandoned: the command, e.g. "GS 8 L"
    QString reason;                 // Refused / Abandoned: why
};

// Where a decoder delivers its commands. Called on the decoding thread only.
class CCommandSink {
public:
    virtual ~CCommandSink() = default;

    // Bytes of NV memory a define may take: for numbered defines (which
    // replace everything) the whole capacity, for an addressed one the free
    // memory plus what the image it replaces takes.
    virtual qint64 RoomForNumbered() const = 0;
    virtual qint64 RoomForAddressed(int key) const = 0;

    virtual void Execute(const SimCommand& command) = 0;

    // Bytes that belong to no command the printer knows, skipped.
    virtual void CountSkipped(qint64 bytes) = 0;
};
