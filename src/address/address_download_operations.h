#pragma once

#include "address/address_commands.h"
#include "framework/outcome.h"
#include "imaging/download_item.h"

#include <QStringList>

#include <functional>
#include <optional>

class CPrinterConnection;

// What the address download's buttons do on the wire, for two-colour
// printers: the used-address and free-memory queries, deleting every image,
// and the automatic and user-defined downloads. Messages go through
// ShowMessage with the texts operators know; waits go through Clock().
// User-interface thread only.

// NV memory assumed free on a USB printer, whose replies cannot be read.
inline constexpr int kUsbAssumedCapacity = 262144;

// ESC @, discard pending input (ports), the key-code list command, a 500 ms
// wait, the reply (at most kKeyCodeListReplyBytes, a leading 00 skipped)
// read leniently, its addresses appended to *used. *incomplete (when given)
// tells whether the printer holds more than the reply carried
// (IsKeyCodeListIncomplete). Fails only when the connection does not open or
// a write fails (silently).
bool QueryUsedAddresses(CPrinterConnection& connection, QStringList* used, bool* incomplete = nullptr);

// What the capacity query came to.
struct FreeMemoryReply {
    bool opened = false;    // false: the connection did not open
    int remaining = 0;      // 0 for any reply but a capacity, and when a write failed
    bool answered = false;  // a whole capacity reply came: "0 bytes free", not "no answer"
    Outcome told;           // "Error : Data Write Error!" when a write failed
};

// ESC @, the capacity command, a 500 ms wait, the reply.
FreeMemoryReply ReadFreeMemory(CPrinterConnection& connection);

// ReadFreeMemory, showing what it tells. Fails only when the connection does
// not open. *answered (when given) as in FreeMemoryReply.
bool QueryFreeMemory(CPrinterConnection& connection, int* remaining, bool* answered = nullptr);

// Deletes every image: "Completed printer flash memory delete!\r\nWait a few
// minute!" or "Data Write Error"; silent and failed when the connection does
// not open.
Outcome TryDeleteAllImages(CPrinterConnection& connection);

// TryDeleteAllImages, shown. Returns whether the command went out.
bool DeleteAllImages(CPrinterConnection& connection);

// What a download reports while it runs; every member may be empty.
struct AddressDownloadObserver {
    std::function<void(bool enabled)> enableControls;
    // "Downloding... name ( index / total ) " belongs to the caller's display.
    std::function<void(const QString& name, int index, int total)> progress;
    std::function<void(int remaining)> remainingChanged;
    // The used addresses were read again after a download.
    std::function<void(const QStringList& used)> usedChanged;
    // Asks the address of the next image (user-defined downloads); nothing
    // means the operator cancelled.
    std::function<std::optional<NvAddress>(const QStringList& used)> askAddress;
    // What each step came to, when it has something to tell, as it happens
    // (the delete before the wait after it). Empty: shown with ShowOutcome.
    std::function<void(const Outcome&)> tell;
};

struct AddressDownloadState {
    bool usb = false;         // USB: no queries; the port is reopened for each image
    int remaining = 0;        // free NV memory as shown, in bytes
    QStringList used;         // addresses the printer holds, as last listed
    bool usedIncomplete = false;  // the printer holds more than `used` lists
};

// The state an addressed download starts from when one connection serves the
// whole operation (the command-line tool, fleets): on USB nothing is asked
// and the assumed capacity stands; otherwise the used addresses and the free
// memory are queried. Fails when either query fails.
bool QueryDownloadState(CPrinterConnection& connection, bool usb, AddressDownloadState* state);

// Deletes everything, waits 5,000 ms, stores the images under 00, 01, ... in
// list order ("Error to write image data!" stops it), lists the used
// addresses again (not on USB) and ends with "Image download finished!".
// Returns whether every image was written.
bool RunAutoAddressDownload(CPrinterConnection& connection, DownloadList& items, AddressDownloadState& state,
                            const AddressDownloadObserver& observer);

// Asks an address for each image ("Cancel to download image!" when the
// operator cancels) and stores it there. On USB everything is deleted first.
bool RunUserDefinedAddressDownload(CPrinterConnection& connection, DownloadList& items, AddressDownloadState& state,
                                   const AddressDownloadObserver& observer);
