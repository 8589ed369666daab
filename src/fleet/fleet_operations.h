#pragma once

#include "address/address_commands.h"
#include "fleet/fleet_runner.h"
#include "imaging/download_item.h"
#include "operations/printer_kind_table.h"

#include <QStringList>

#include <optional>

// The per-printer operations a fleet runs, built on the same core operations
// as the single-printer commands (the paced upload, the address download,
// the print and address-list operations), so both put the same bytes on the
// wire. Each opens its own connection on the calling thread and reports its
// messages through ShowMessage and its waits through Clock().

// One download, converted for one printer kind.
struct FleetDownloadPlan {
    PrinterKind kind = PrinterKind::Mono;
    DownloadList items;
    int logoCount = 0;       // images among the items (DOT MODE adds its length table)
    QStringList addresses;   // two-colour: store under these; empty: delete all, number from 00
};

// Numbered kinds: the paced upload; imagesStored counts the logos sent.
// Two-colour: the used-address and capacity queries, the address download,
// then the printer's own address list and free memory for the summary.
FleetOutcome RunFleetDownload(const PortSettings& settings, const FleetDownloadPlan& plan,
                              const CFleetJobContext& context);

// What to print, and the model type it is for: one that names no kind fails
// each printer with "Not Support Printer".
struct FleetPrintPlan : PrintRequest {
    CModelType modelType;
};
FleetOutcome RunFleetPrint(const PortSettings& settings, const FleetPrintPlan& plan, const CFleetJobContext& context);

// Two-colour: deletes one address (or all when address is empty). The free
// memory is not asked: a printer takes a while to erase, and an early answer
// would mislead.
FleetOutcome RunFleetDelete(const PortSettings& settings, const std::optional<NvAddress>& address,
                            const CFleetJobContext& context);

// Two-colour: the free memory. A printer that gives no capacity reply (or one
// that does not parse) reads as 0 bytes free; that counts as failed, since a
// fleet report must not show a silent printer as full.
FleetOutcome RunFleetCapacity(const PortSettings& settings, const CFleetJobContext& context);
