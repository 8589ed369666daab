#include "sim/sim_kind_table.h"

#include "sim/dot_decoder.h"
#include "sim/mono_decoder.h"
#include "sim/nv_image_decode.h"
#include "sim/two_color_decoder.h"

#include <array>

namespace {

template <class Decoder>
std::unique_ptr<CStreamDecoder> MakeDecoder(CCommandSink& sink)
{
    return std::make_unique<Decoder>(sink);
}

// A stored band stream is described by a 16-bit length.
std::optional<CDotGrid> DecodeStoredDotStream(QByteArrayView bytes, QString* why)
{
    if (bytes.size() <= 0xFFFF)
        return DecodeDotStream(bytes, why);
    if (why)
        *why = QStringLiteral("band stream longer than 65,535 bytes");
    return std::nullopt;
}

// In kind order, so that a kind's number is its row's index.
const std::array<SimKindEntry, 3> kSimKinds{{
    {.kind = PrinterKind::DotMode,
     .name = "dot",
     .stateCode = 2,
     .printableWidth = 400,
     .defineName = "ESC g 0",
     .makeDecoder = MakeDecoder<CDotDecoder>,
     .decodeImage = DecodeStoredDotStream},
    {.kind = PrinterKind::Mono,
     .name = "mono",
     .stateCode = 0,
     .printableWidth = 576,
     .defineName = "FS q",
     .makeDecoder = MakeDecoder<CMonoDecoder>,
     .decodeImage = DecodeMonoRecord},
    {.kind = PrinterKind::TwoColor,
     .name = "two-color",
     .stateCode = 1,
     .printableWidth = 576,
     .defineName = "GS 8 L",
     .makeDecoder = MakeDecoder<CTwoColorDecoder>,
     .decodeImage = DecodeTwoColorDefine},
}};

}  // namespace

const SimKindEntry& SimKindEntryOf(PrinterKind kind)
{
    const SimKindEntry& entry = kSimKinds[static_cast<size_t>(PrinterKindNumber(kind))];
    Q_ASSERT(entry.kind == kind);
    return entry;
}
