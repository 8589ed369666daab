// The virtual printer's command decoder for one printer kind (chosen at build
// time: MARKOGRAPH_FUZZ_SIM_KIND), fed any byte stream. The stream goes to two
// printers: one receives it in one piece, the other in pieces whose sizes the
// input chooses, down to single bytes. Both must end in the same state (what
// is stored, what was printed, the replies, the counters and the command
// log), since the result must not depend on how a line splits the bytes into
// reads; and while bytes arrive the decoder never holds more than the NV
// memory plus a command head.
//
// Input: byte 0 chooses the NV capacity (bits 6-7) and the largest piece
// (bits 0-5), byte 1 seeds the piece sizes; the rest is the stream.
#include "fuzz_support.h"

#include "sim/printer_core.h"
#include "sim/stream_session.h"

#include <memory>

namespace {

constexpr PrinterKind kKind = PrinterKind::MARKOGRAPH_FUZZ_SIM_KIND;
// The longest command head any kind keeps (a DOT MODE length table of 255
// entries is 510 bytes), with room to spare.
constexpr qsizetype kMaxHeadBytes = 1024;

struct Printer {
    std::unique_ptr<CPrinterCore> core;
    std::unique_ptr<CStreamSession> session;
    QByteArray replies;
};

std::unique_ptr<Printer> MakePrinter(qint64 capacity)
{
    SimOptions options;
    options.capacity = capacity;  // no state or output folder: nothing is written to disk
    auto printer = std::make_unique<Printer>();
    printer->core = std::make_unique<CPrinterCore>(kKind, options);
    QStringList notes;
    QString error;
    FUZZ_CHECK(printer->core->Open(&notes, &error));
    Printer* raw = printer.get();
    printer->session = std::make_unique<CStreamSession>(*printer->core, QStringLiteral("fuzz"),
                                                        [raw](const QByteArray& reply) { raw->replies += reply; });
    return printer;
}

void CheckSameState(const Printer& a, const Printer& b)
{
    FUZZ_CHECK(a.replies == b.replies);
    FUZZ_CHECK(a.core->Counters() == b.core->Counters());
    FUZZ_CHECK(a.core->FreeBytes() == b.core->FreeBytes());

    const std::vector<SimStoredImage> storedA = a.core->StoredImages();
    const std::vector<SimStoredImage> storedB = b.core->StoredImages();
    FUZZ_CHECK(storedA.size() == storedB.size());
    for (size_t i = 0; i < storedA.size(); ++i) {
        FUZZ_CHECK(storedA[i].key == storedB[i].key && storedA[i].name == storedB[i].name);
        FUZZ_CHECK(storedA[i].byteCount == storedB[i].byteCount && storedA[i].dots == storedB[i].dots);
    }

    const std::vector<SimPrint> printsA = a.core->Prints();
    const std::vector<SimPrint> printsB = b.core->Prints();
    FUZZ_CHECK(printsA.size() == printsB.size());
    for (size_t i = 0; i < printsA.size(); ++i) {
        const SimPrint& p = printsA[i];
        const SimPrint& q = printsB[i];
        FUZZ_CHECK(p.key == q.key && p.name == q.name && p.found == q.found && p.mode == q.mode);
        FUZZ_CHECK(p.scaleX == q.scaleX && p.scaleY == q.scaleY && p.header == q.header);
    }

    const std::vector<SimLogEntry> logA = a.core->CommandLog();
    const std::vector<SimLogEntry> logB = b.core->CommandLog();
    FUZZ_CHECK(logA.size() == logB.size());
    for (size_t i = 0; i < logA.size(); ++i)
        FUZZ_CHECK(logA[i].text == logB[i].text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const qint64 capacities[] = {DefaultCapacity(kKind), 600, 4096, 40000};
    const qint64 capacity = capacities[data[0] >> 6];
    const int largestPiece = 1 + (data[0] & 0x3F) * 4;
    uint32_t random = data[1] + 1u;
    const QByteArrayView stream(reinterpret_cast<const char*>(data + 2), static_cast<qsizetype>(size - 2));

    const std::unique_ptr<Printer> whole = MakePrinter(capacity);
    whole->session->Feed(stream);

    const std::unique_ptr<Printer> pieces = MakePrinter(capacity);
    for (qsizetype at = 0; at < stream.size();) {
        random = random * 1103515245u + 12345u;  // a fixed generator, so a crash repeats
        const qsizetype take = std::min<qsizetype>(stream.size() - at, 1 + (random >> 16) % largestPiece);
        pieces->session->Feed(stream.sliced(at, take));
        at += take;
        FUZZ_CHECK(pieces->session->BufferedBytes() <= capacity + kMaxHeadBytes);
    }
    FUZZ_CHECK(whole->session->BufferedBytes() <= capacity + kMaxHeadBytes);
    FUZZ_CHECK(whole->session->IsIdle() == pieces->session->IsIdle());
    CheckSameState(*whole, *pieces);

    // The line goes quiet: a half-received command is dropped alike in both.
    whole->session->Abandon(QStringLiteral("silence"));
    pieces->session->Abandon(QStringLiteral("silence"));
    FUZZ_CHECK(whole->session->IsIdle() && pieces->session->IsIdle());
    CheckSameState(*whole, *pieces);
    return 0;
}
