#include "kinds/printer_kind_table.h"

#include "download/start_command.h"
#include "download/upload_session.h"
#include "kinds/kind_prints.h"
#include "kinds/kind_records.h"

#include <array>

namespace {

// In kind order, so that a kind's number is its row's index.
constexpr std::array<PrinterKindEntry, 3> kKindTable{{
    {.kind = PrinterKind::DotMode,
     .text = "DOT MODE",
     .secondInk = true,
     .addressed = false,
     .openFailure = OpenFailureText::UploadAndPrint,
     .startCommand = MakeDotStartCommand,
     .prepareDelayMs = 0,
     .buildRecord = MakeDotLogoStream,
     .lengthTable = true,
     .print = PrintDotModeKind},
    {.kind = PrinterKind::Mono,
     .text = "1 Color thermal",
     .secondInk = false,
     .addressed = false,
     .openFailure = OpenFailureText::UploadAndPrint,
     .startCommand = MakeMonoStartCommand,
     .prepareDelayMs = CUploadSession::kMonoPrepareMs,
     .buildRecord = MakeMonoLogoRecord,
     .lengthTable = false,
     .print = PrintMonoKind},
    {.kind = PrinterKind::TwoColor,
     .text = "2 Color thermal",
     .secondInk = true,
     .addressed = true,
     .openFailure = OpenFailureText::AddressDialogs,
     .startCommand = nullptr,
     .prepareDelayMs = 0,
     .buildRecord = MakeTwoColorLogoRecord,
     .lengthTable = false,
     .print = PrintTwoColorKind},
}};

constexpr bool RowsInKindOrder()
{
    for (size_t i = 0; i < kKindTable.size(); ++i) {
        if (PrinterKindNumber(kKindTable[i].kind) != static_cast<int>(i))
            return false;
    }
    return kKindTable.size() == kPrinterKinds.size();
}
static_assert(RowsInKindOrder(), "one row per printer kind, in kind order");

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
