#include "sim/sim_kind_table.h"

#include "kinds/kind_rows.h"
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

// In kind order, so that a kind's number is its row's index. Columns: kind,
// name, state-file kind byte, printable width, addressed, define name, stream decoder,
// stored-image decoder.
constexpr std::array<SimKindEntry, 3> kSimKinds{{
    {PrinterKind::DotMode, "dot", 2, 400, false, "ESC g 0", MakeDecoder<CDotDecoder>, DecodeStoredDotStream},
    {PrinterKind::Mono, "mono", 0, 576, false, "FS q", MakeDecoder<CMonoDecoder>, DecodeMonoRecord},
    {PrinterKind::TwoColor, "two-color", 1, 576, true, "GS 8 L", MakeDecoder<CTwoColorDecoder>, DecodeTwoColorDefine},
}};
static_assert(RowsInKindOrder(kSimKinds), "one row per printer kind, in kind order");

}  // namespace

const SimKindEntry& SimKindEntryOf(PrinterKind kind)
{
    return kSimKinds[static_cast<size_t>(PrinterKindNumber(kind))];
}
