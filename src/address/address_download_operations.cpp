#include "address/address_download_operations.h"

#include "address/address_sequence.h"
#include "address/key_code_reply.h"
#include "address/reply_reader.h"
#include "framework/clock.h"
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

void Tell(const AddressDownloadObserver& observer, const Outcome& outcome)
{
    if (outcome.Silent())
        return;
    if (observer.tell)
        observer.tell(outcome);
    else
        ShowOutcome(outcome);
}

Outcome ImageWriteFailed()
{
    return Outcome::Failure(QStringLiteral("Error to write image data!"));
}

// Writes the images one by one, each with the address chosen for it. Ends on
// the first image that cannot be addressed or written; the connection is
// closed either way. A failure is told to the observer.
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
            connection.ClosePrinter();
            Tell(observer, Outcome::Refused(QStringLiteral("Cancel to download image!")));
            return false;
        }
        SetItemAddress(item, *address);
        if (!connection.WritePrinter(item.data)) {
            Tell(observer, ImageWriteFailed());
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
            Tell(observer, ImageWriteFailed());
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
    Tell(observer, Outcome::Success(QStringLiteral("Image download finished!"), MessageIcon::Exclamation));
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

FreeMemoryReply ReadFreeMemory(CPrinterConnection& connection)
{
    FreeMemoryReply result;
    if (!connection.OpenPrinter())
        return result;
    result.opened = true;
    bool written = connection.WritePrinter(InitializeCommand());
    if (written) {
        // Bytes left over from an earlier reply would read as this one.
        connection.ClearInput();
        written = connection.WritePrinter(RemainingCapacityCommand());
    }
    if (!written) {
        connection.ClosePrinter();
        result.told = Outcome::Failure(QStringLiteral("Error : Data Write Error!"));
        return result;
    }
    Clock().Sleep(kReplyWaitMs);
    const QByteArray reply = ReadReply(ReaderOf(connection), kCapacityReplyBuffer, LeadingZero::EndsReplyAndFirstFailureEnds);
    result.remaining = ParseRemainingCapacity(reply);
    result.answered = IsCapacityReply(reply);
    connection.ClosePrinter();
    return result;
}

bool QueryFreeMemory(CPrinterConnection& connection, int* remaining, bool* answered)
{
    const FreeMemoryReply reply = ReadFreeMemory(connection);
    ShowOutcome(reply.told);
    *remaining = reply.remaining;
    if (answered)
        *answered = reply.answered;
    return reply.opened;
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

Outcome TryDeleteAllImages(CPrinterConnection& connection)
{
    if (!connection.OpenPrinter()) {
        connection.ClosePrinter();
        return Outcome::Failure();
    }
    const bool written = connection.WritePrinter(DeleteAllImagesCommand());
    connection.ClosePrinter();
    if (!written)
        return Outcome::Failure(QStringLiteral("Data Write Error"));
    return Outcome::Success(QStringLiteral("Completed printer flash memory delete!\r\nWait a few minute!"));
}

bool DeleteAllImages(CPrinterConnection& connection)
{
    return ShowOutcomeOk(TryDeleteAllImages(connection));
}

bool RunAutoAddressDownload(CPrinterConnection& connection, DownloadList& items, AddressDownloadState& state,
                            const AddressDownloadObserver& observer)
{
    Tell(observer, TryDeleteAllImages(connection));
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
        Tell(observer, TryDeleteAllImages(connection));
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
