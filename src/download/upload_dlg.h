#pragma once

#include "config/port_settings.h"
#include "framework/widgets/dialog.h"
#include "imaging/download_item.h"
#include "kinds/printer_kind.h"

#include <QString>

#include <memory>

class CPrinterConnection;
class CUploadSession;
class QLabel;
class QProgressBar;
class QTimer;

// The dialog that carries out a numbered download for single-colour thermal
// and DOT MODE printers (template 130). "Download Start" sends the start
// command at once and then, paced by a window timer on the user-interface
// thread, one item per tick (CUploadSession holds the bytes, the messages and
// the pacing constants); the progress bar moves 10 steps per item and the
// status line names the item being sent. "Save File.." writes the same bytes
// into a print file instead.
//
// While sending, the three buttons are disabled and Escape and the window's
// close box are refused like them: the printer erased its memory at the
// start command and holds the set only once every item has arrived. When
// the program has to end meanwhile, the download stops, the connection is
// closed and the operator is told how many logos the printer got. An item
// that cannot be written stops the download with a message, and the dialog
// is ready again.
//
// User-interface thread only.
class CUploadDlg : public CDialog {
    Q_OBJECT
public:
    // kind: single-colour thermal or DOT MODE (the list then starts
    // with the length table item). settings: the main window's current ones;
    // interfaceKind, ipAddress and tcpPort choose between the network and the
    // port facade. title: the window title ("<model> Image download
    // dialog"). items: the download list in sending order; the dialog keeps
    // its own copy (the item buffers are shared, not copied).
    CUploadDlg(QWidget* parent, PrinterKind kind, const PortSettings& settings, QString title, DownloadList items);
    ~CUploadDlg() override;

    // Handlers of "Download Start" and "Save File..".
    void OnDownloadStart();
    void OnSaveFile();

    bool IsSending() const { return m_sending; }

    // Ends the modal run; a download in progress (only the program's own
    // end gets here then) stops with a message, and the connection is closed.
    void done(int result) override;

private:
    void CreateControls();
    void ConnectControls();
    // Every opening starts the dialog afresh: ready, at the first item.
    bool OnInitDialog() override;
    void BeginSending();
    void OnTimer();
    bool SendNextItem();
    void ShowProgressText(int index);
    void FinishDownload();
    // Back to ready after a stop: timer off, buttons on, connection closed.
    void StopSending();
    // The sending state, which is also the dialog's printer work.
    void SetSending(bool sending);
    void StartTimer(int ms);
    void SetButtonsEnabled(bool enabled);

    PrinterKind m_kind;
    PortSettings m_settings;
    QString m_title;
    DownloadList m_items;
    std::unique_ptr<CPrinterConnection> m_connection;
    std::unique_ptr<CUploadSession> m_session;
    int m_index = 0;  // 0-based index of the next item to send
    bool m_sending = false;

    // Controls, owned by the dialog.
    QProgressBar* m_progress = nullptr;
    QLabel* m_status = nullptr;
    QTimer* m_timer = nullptr;
};
