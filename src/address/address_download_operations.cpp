#include "address/address_download_operations.h"

#include "address/address_sequence.h"
#include "address/key_code_reply.h"
#include "address/reply_reader.h"
#include "framework/clock.h"
#include "framework/message_box.h"
#include "transport/printer_connection.h"

namespace {

constexpr int kCapacityReplyBuffer = 256;
constexpr int kReplyWaitMs = 500;
constexpr int kAutoDeleteWaitMs = 5000;
constexpr int kUsbDeleteWaitMs = 3000;
// After the last image, how long the printer has to hang up (having stopped
// reading part-way) before the connection is looked at.
constexpr int kDeliveryCheckMs = 100;

ByteReader ReaderOf(CPrinterConnection& connection)
{
    return [&connection](char* buffer, int count) { return connection.ReadPrinter(buffer, count); };
}

template <class F, class... Args>
void Notify(const F& callback, Args&&... args)
{
    if (callback)
        callback(std::forward<Args>(args)...);
}

// Writes the images one by one, each with the address chosen for it. Ends on
// the first image that cannot be addressed or written; the connection is
// closed either way.
bool WriteImages(CPrinterConnection& connection, DownloadList& items, AddressDownloadState& state,
                 const AddressDownloadObserver& observer,
                 const std::function<std::optional<NvAddress>(const DownloadItem&)>& chooseAddress)
{
    if (!connection.OpenPrinter()) {
        connection.ClosePrinter();
        return false;
    }
    const int total = static_cast<int>(items.size());
    for (int index = 0; index < total; ++index) {
        DownloadItem& item = items[static_cast<size_t>(index)];
        // A USB printer takes each image over a freshly opened port.
        if (state.usb) {
            connection.ClosePrinter();
            if (!connection.OpenPrinter()) {
                connection.ClosePrinter();
                return false;
            }
        }
        const std::optional<NvAddress> address = chooseAddress(item);
        if (!address) {
            ShowMessage("Cancel to download image!");
            connection.ClosePrinter();
            return false;
        }
        SetItemAddress(item, *address);
        if (!connection.WritePrinter(item.data)) {
            ShowMessage("Error to write image data!");
            connection.ClosePrinter();
            return false;
        }
        Notify(observer.progress, item.name, index + 1, total);
        state.remaining -= item.size();
        Notify(observer.remainingChanged, state.remaining);
    }
    // A network printer that hangs up during the last image leaves its bytes
    // accepted by the host's socket, so the write went through: only the
    // closed connection tells that the printer did not take them all.
    if (connection.IsEthernet()) {
        Clock().Sleep(kDeliveryCheckMs);
        if (connection.HasPeerClosed()) {
            ShowMessage("Error to write image data!");
            connection.ClosePrinter();
            return false;
        }
    }
    connection.ClosePrinter();
    return true;
}

void FinishDownload(CPrinterConnection& connection, AddressDownloadState& state,
                    const AddressDownloadObserver& observer)
{
    if (!state.usb) {
        state.used.clear();
        QueryUsedAddresses(connection, &state.used, &state.usedIncomplete);
        // The list shows what the printer holds before the operator is told.
        Notify(observer.usedChanged, state.used);
    }
    ShowMessage("Image download finished!", MessageIcon::Exclamation);
}

}  // namespace

bool QueryUsedAddresses(CPrinterConnection& connection, QStringList* used, bool* incomplete)
{
    if (incomplete)
        *incomplete = false;
    if (!connection.OpenPrinter())
        return false;
    if (!connection.WritePrinter(InitializeCommand())) {
        connection.ClosePrinter();
        return false;
    }
    // Whatever the printer said before the query would read as its reply.
    connection.ClearInput();
    if (!connection.WritePrinter(KeyCodeListCommand())) {
        connection.ClosePrinter();
        return false;
    }
    Clock().Sleep(kReplyWaitMs);
    const QByteArray reply = ReadReply(ReaderOf(connection), kKeyCodeListReplyBytes, LeadingZero::Skipped);
    used->append(ParseKeyCodeListLenient(reply));
    if (incomplete)
        *incomplete = IsKeyCodeListIncomplete(reply);
    connection.ClosePrinter();
    return true;
}

bool QueryFreeMemory(CPrinterConnection& connection, int* remaining, bool* answered)
{
    *remaining = 0;
    if (answered)
        *answered = false;
    if (!connection.OpenPrinter())
        return false;
    bool written = connection.WritePrinter(InitializeCommand());
    if (written) {
        // Bytes left over from an earlier reply would read as this one.
        connection.ClearInput();
        written = connection.WritePrinter(RemainingCapacityCommand());
    }
    if (!written) {
        ShowMessage("Error : Data Write Error!");
        connection.ClosePrinter();
        return true;
    }
    Clock().Sleep(kReplyWaitMs);
    const QByteArray reply = ReadReply(ReaderOf(connection), kCapacityReplyBuffer, LeadingZero::EndsReplyAndFirstFailureEnds);
    *remaining = ParseRemainingCapacity(reply);
    if (answered)
        *answered = IsCapacityReply(reply);
    connection.ClosePrinter();
    return true;
}

bool QueryDownloadState(CPrinterConnection& connection, bool usb, AddressDownloadState* state)
{
    state->usb = usb;
    if (usb) {
        state->remaining = kUsbAssumedCapacity;
        return true;
    }
    return QueryUsedAddresses(connection, &state->used, &state->usedIncomplete)
           && QueryFreeMemory(connection, &state->remaining);
}

bool DeleteAllImages(CPrinterConnection& connection)
{
    if (!connection.OpenPrinter()) {
        connection.ClosePrinter();
        return false;
    }
    const bool written = connection.WritePrinter(DeleteAllImagesCommand());
    if (written)
        ShowMessage("Completed printer flash memory delete!\r\nWait a few minute!");
    else
        ShowMessage("Data Write Error");
    connection.ClosePrinter();
    return written;
}

bool RunAutoAddressDownload(CPrinterConnection& connection, DownloadList& items, AddressDownloadState& state,
                            const AddressDownloadObserver& observer)
{
    DeleteAllImages(connection);
    Clock().Sleep(kAutoDeleteWaitMs);
    state.remaining = kUsbAssumedCapacity;
    Notify(observer.remainingChanged, state.remaining);
    Notify(observer.enableControls, false);
    CAddressSequence sequence;
    const bool written = WriteImages(connection, items, state, observer,
                                     [&](const DownloadItem&) { return std::optional<NvAddress>(sequence.Next()); });
    if (written)
        FinishDownload(connection, state, observer);
    Notify(observer.enableControls, true);
    return written;
}

bool RunUserDefinedAddressDownload(CPrinterConnection& connection, DownloadList& items, AddressDownloadState& state,
                                   const AddressDownloadObserver& observer)
{
    if (state.usb) {
        DeleteAllImages(connection);
        Clock().Sleep(kUsbDeleteWaitMs);
    }
    Notify(observer.remainingChanged, state.remaining);
    Notify(observer.enableControls, false);
    // The used list is not refreshed between images: the prompt for a later
    // image does not know the address just given to an earlier one.
    const QStringList used = state.used;
    const bool written = WriteImages(connection, items, state, observer, [&](const DownloadItem&) {
        return observer.askAddress ? observer.askAddress(used) : std::optional<NvAddress>();
    });
    if (written)
        FinishDownload(connection, state, observer);
    Notify(observer.enableControls, true);
    return written;
}
