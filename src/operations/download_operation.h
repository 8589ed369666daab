#pragma once

#include "address/address_download_operations.h"
#include "imaging/download_item.h"
#include "kinds/printer_kind.h"

#include <QString>
#include <QStringList>

#include <functional>

struct PortSettings;

// A download over one connection from start to end, for the callers that
// have no dialog to step it (the command-line tool and fleets). Each printer
// kind's row names the operation that fits its command set; the desktop's
// dialogs step the same pieces (CUploadSession, the address download
// operations) from their timers and buttons. Messages go through
// ShowMessage and waits through Clock(), as in those pieces, so every byte,
// text and wait on the wire is the same whoever calls. Runs on the calling
// thread; it blocks for the whole download (a single-colour download waits
// 6,000 ms before its first item, a two-colour one 5,000 ms after deleting).

// What to download: the converted list and, for addressed kinds, where to
// store the images.
struct DownloadRequest {
    PrinterKind kind = PrinterKind::Mono;
    DownloadList items;
    // Addressed kinds: store the images under these, in list order; empty:
    // delete everything and number from 00.
    QStringList addresses;
};

// What a download did.
struct DownloadOutcome {
    // Every item went out and the printer took the whole download.
    bool complete = false;
    // The printer answered the queries the download starts from (addressed
    // kinds); numbered kinds ask nothing and always read true.
    bool reached = true;
    // Items written: numbered kinds count every item of the list (the DOT
    // MODE length table too), addressed kinds the images.
    int itemsSent = 0;
    // Addressed kinds: free memory, the used addresses as the printer listed
    // them after a complete download (not over a connection that cannot read
    // replies), and whether that list was cut short.
    AddressDownloadState state;
    // The text the operator was shown when the download failed; empty when
    // it did not fail or the failure was the connection's own message.
    QString failure;
};

// Receives each line a download reports ("Available printer flash memory :
// N Byte", "Downloding... name ( k / N ) "); may be empty.
using DownloadProgress = std::function<void(const QString& line)>;

// "Available printer flash memory : N Byte": an addressed download's first
// line, and the command-line tool's last.
QString AvailableMemoryText(int remaining);

// Numbered kinds (single-colour, DOT MODE): the paced upload of CUploadSession.
DownloadOutcome RunNumberedDownload(const PortSettings& settings, const DownloadRequest& request,
                                    const DownloadProgress& progress);

// Addressed kinds (two-colour): the used-address and capacity queries (their
// result assumed where replies cannot be read), then the automatic or the
// user-defined address download.
DownloadOutcome RunAddressedDownload(const PortSettings& settings, const DownloadRequest& request,
                                     const DownloadProgress& progress);

// The operation of the request's kind, as its row names it.
DownloadOutcome RunDownload(const PortSettings& settings, const DownloadRequest& request,
                            const DownloadProgress& progress);
