#pragma once

#include "imaging/download_item.h"
#include "kinds/printer_kind.h"

#include <QString>

#include <functional>

class CPrinterConnection;

// Sends a numbered download (single-colour thermal or DOT MODE) the way the
// printers expect it: the start command at once, then, after a pause, one
// item per step. Single-colour printers need 6,000 ms after the start command
// to prepare their NV memory; then 1,000 ms pass before the first item and
// 100 ms between items. The upload dialog drives the steps from its timer;
// Run() drives them with Clock() for the command line. Messages go through
// ShowMessage. User-interface thread only.
class CUploadSession {
public:
    static constexpr int kFirstItemDelayMs = 1000;
    static constexpr int kItemIntervalMs = 100;

    CUploadSession(PrinterKind kind, CPrinterConnection& connection, const DownloadList& items);

    // Opens the connection and writes the start command. A failure is shown
    // ("Error : Openport failed!", the network messages, or "Error : Write
    // failed!") and returns false; the connection stays as the failure left
    // it, and Close() or the next Start() closes it.
    bool Start();

    // How long the printer needs after the start command before the first
    // step begins: 6,000 ms for single-colour printers, else 0. The first
    // item then follows kFirstItemDelayMs later.
    int PrepareDelayMs() const;

    int ItemCount() const { return static_cast<int>(m_items.size()); }

    // Writes item index (0-based) in one write. A failed write is shown and
    // returns false: the download stops there rather than ending as if
    // complete.
    bool SendItem(int index);

    // "Downloding... name ( k / N ) ", k counted from 1.
    QString ProgressText(int index) const;

    // After the last item: false (with a message) when the printer closed
    // the connection before the host did, so "Download Completed!" is
    // never shown for a download that did not arrive.
    bool ConfirmDelivery();

    void Close();

    // The text the last failure of this session showed ("Error : Write
    // failed!..."); empty when none did, or when the failure was the
    // connection's open message.
    const QString& FailureText() const { return m_failure; }

    // What the operator is told when a download is stopped from outside
    // after sent items (the program has to end): how many of the logos went
    // out, and that the printer does not hold the set.
    QString StoppedText(int sent) const;

    // The whole download with the pacing done by Clock(): Start, the waits,
    // every item, "Download Completed!", Close. progress(k, N) follows each
    // item. Returns whether everything was sent.
    bool Run(const std::function<void(int sent, int total)>& progress = {});

private:
    // Shows text and keeps it as the failure text.
    void Fail(const QString& text);

    PrinterKind m_kind;
    CPrinterConnection& m_connection;
    const DownloadList& m_items;
    QString m_failure;
};
