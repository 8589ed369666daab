#include "operations/download_operation.h"

#include "operations/upload_session.h"
#include "operations/printer_kind_table.h"
#include "transport/printer_connection.h"

namespace {

void Report(const DownloadProgress& progress, const QString& line)
{
    if (progress)
        progress(line);
}

}  // namespace

QString AvailableMemoryText(int remaining)
{
    return QStringLiteral("Available printer flash memory : %1 Byte").arg(remaining);
}

DownloadOutcome RunNumberedDownload(const PortSettings& settings, const DownloadRequest& request,
                                    const DownloadProgress& progress)
{
    CPrinterConnection connection(settings, OpenFailureOf(request.kind));
    CUploadSession session(request.kind, connection, request.items);
    DownloadOutcome outcome;
    outcome.complete = session.Run([&](int sent, int) {
        outcome.itemsSent = sent;
        Report(progress, session.ProgressText(sent - 1));
    });
    outcome.failure = session.FailureText();
    return outcome;
}

DownloadOutcome RunAddressedDownload(const PortSettings& settings, const DownloadRequest& request,
                                     const DownloadProgress& progress)
{
    DownloadList items = request.items;  // the download writes each image's address into it
    CPrinterConnection connection(settings, OpenFailureOf(request.kind));
    DownloadOutcome outcome;
    if (!QueryDownloadState(connection, !connection.CanReadReplies(), &outcome.state)) {
        outcome.reached = false;
        return outcome;
    }
    Report(progress, AvailableMemoryText(outcome.state.remaining));
    AddressDownloadObserver observer;
    observer.progress = [&](const QString& name, int index, int total) {
        outcome.itemsSent = index;
        Report(progress, QStringLiteral("Downloding... ") + name + QString::asprintf(" ( %d / %d ) ", index, total));
    };
    int next = 0;
    observer.askAddress = [&](const QStringList&) -> std::optional<NvAddress> {
        return AddressFromText(request.addresses.value(next++));
    };
    outcome.complete = request.addresses.isEmpty()
                           ? RunAutoAddressDownload(connection, items, outcome.state, observer)
                           : RunUserDefinedAddressDownload(connection, items, outcome.state, observer);
    return outcome;
}

DownloadOutcome RunDownload(const PortSettings& settings, const DownloadRequest& request,
                            const DownloadProgress& progress)
{
    return KindEntry(request.kind).download(settings, request, progress);
}
