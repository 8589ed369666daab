#include "kinds/printer_kind_table.h"

#include "download/start_command.h"
#include "download/upload_session.h"
#include "kinds/kind_prints.h"
#include "kinds/kind_records.h"

#include <array>

namespace {

// In kind order, so that a kind's number is its row's index. Columns: kind,
// text, second ink, addressed, open-failure messages, start command, prepare
// delay, record builder, length table, print.
constexpr std::array<PrinterKindEntry, 3> kKindTable{{
    {PrinterKind::DotMode, "DOT MODE", true, false, OpenFailureText::UploadAndPrint, MakeDotStartCommand, 0,
     MakeDotLogoStream, true, PrintDotModeKind},
    {PrinterKind::Mono, "1 Color thermal", false, false, OpenFailureText::UploadAndPrint, MakeMonoStartCommand,
     CUploadSession::kMonoPrepareMs, MakeMonoLogoRecord, false, PrintMonoKind},
    {PrinterKind::TwoColor, "2 Color thermal", true, true, OpenFailureText::AddressDialogs, nullptr, 0,
     MakeTwoColorLogoRecord, false, PrintTwoColorKind},
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
