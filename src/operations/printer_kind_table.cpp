#include "operations/printer_kind_table.h"

#include "operations/download_operation.h"
#include "operations/kind_prints.h"
#include "operations/kind_records.h"
#include "operations/start_command.h"
#include "kinds/kind_rows.h"

#include <array>

namespace {

// In kind order, so that a kind's number is its row's index. Columns: kind,
// text, second ink, addressed, open-failure messages, start command, prepare
// delay, record builder, length table, download, print, print selection,
// import ink choice, import density units, preview paper.
constexpr std::array<PrinterKindEntry, 3> kKindTable{{
    {PrinterKind::DotMode, "DOT MODE", true, false, OpenFailureText::UploadAndPrint, MakeDotStartCommand, 0,
     MakeDotLogoStream, true, RunNumberedDownload, PrintDotModeKind, false, false, true, PreviewPaper::AsShown},
    {PrinterKind::Mono, "1 Color thermal", false, false, OpenFailureText::UploadAndPrint, MakeMonoStartCommand,
     kMonoPrepareMs, MakeMonoLogoRecord, false, RunNumberedDownload, PrintMonoKind, true, false,
     false, PreviewPaper::OnlyWhite},
    {PrinterKind::TwoColor, "2 Color thermal", true, true, OpenFailureText::AddressDialogs, nullptr, 0,
     MakeTwoColorLogoRecord, false, RunAddressedDownload, PrintTwoColorKind, false, true, false,
     PreviewPaper::NearWhite},
}};

static_assert(RowsInKindOrder(kKindTable), "one row per printer kind, in kind order");

}  // namespace

const PrinterKindEntry& KindEntry(PrinterKind kind)
{
    return kKindTable[static_cast<size_t>(PrinterKindNumber(kind))];
}

const PrinterKindEntry* KindEntry(const CModelType& type)
{
    const std::optional<PrinterKind> kind = type.Kind();
    return kind ? &KindEntry(*kind) : nullptr;
}

const PrinterKindEntry& KindEntryOrMono(const CModelType& type)
{
    return KindEntry(type.Kind().value_or(PrinterKind::Mono));
}

QString ModelTypeText(const CModelType& type)
{
    return QString::fromLatin1(KindEntryOrMono(type).text);
}
