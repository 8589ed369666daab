#include "operations/printer_kind_table.h"

#include "operations/start_command.h"
#include "operations/kind_prints.h"
#include "operations/kind_records.h"
#include "kinds/kind_rows.h"

#include <array>

namespace {

// In kind order, so that a kind's number is its row's index. Columns: kind,
// text, second ink, addressed, open-failure messages, start command, prepare
// delay, record builder, length table, print.
constexpr std::array<PrinterKindEntry, 3> kKindTable{{
    {PrinterKind::DotMode, "DOT MODE", true, false, OpenFailureText::UploadAndPrint, MakeDotStartCommand, 0,
     MakeDotLogoStream, true, PrintDotModeKind},
    {PrinterKind::Mono, "1 Color thermal", false, false, OpenFailureText::UploadAndPrint, MakeMonoStartCommand,
     kMonoPrepareMs, MakeMonoLogoRecord, false, PrintMonoKind},
    {PrinterKind::TwoColor, "2 Color thermal", true, true, OpenFailureText::AddressDialogs, nullptr, 0,
     MakeTwoColorLogoRecord, false, PrintTwoColorKind},
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

QString ModelTypeText(const CModelType& type)
{
    return QString::fromLatin1(KindEntry(type.Kind().value_or(PrinterKind::Mono)).text);
}
