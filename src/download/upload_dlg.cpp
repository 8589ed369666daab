#include "download/upload_dlg.h"

#include "operations/download_print_file.h"
#include "download/upload_dlg_ids.h"
#include "operations/upload_session.h"
#include "operations/printer_kind_table.h"
#include "framework/clock.h"
#include "framework/message_box.h"
#include "framework/widgets/dialog_template.h"
#include "framework/widgets/file_dialogs.h"
#include "framework/widgets/label_text.h"
#include "framework/widgets/responsive_clock.h"
#include "transport/printer_connection.h"
#include "framework/outcome.h"

#include <QLabel>
#include <QProgressBar>
#include <QTimer>

namespace {

// Ten progress steps per item.
constexpr int kProgressPerItem = 10;

DialogTemplate UploadTemplate()
{
    using K = ControlKind;
    return {QStringLiteral("Image Uploading..."), QStringLiteral("MS Sans Serif"), 8, 222, 92,
            {
                {-1, K::GroupBox, QStringLiteral("Downloading Status"), 7, 7, 208, 52},
                {IDC_UPLOAD_STATUS, K::Static, QStringLiteral("download Start..."), 16, 21, 190, 10},
                {IDC_UPLOAD_PROGRESS, K::ProgressBar, {}, 16, 36, 190, 12},
                {IDC_UPLOAD_START, K::PushButton, QStringLiteral("Download Start"), 7, 67, 66, 18},
                {IDC_UPLOAD_SAVE_FILE, K::PushButton, QStringLiteral("Save File.."), 78, 67, 66, 18},
                {IDC_UPLOAD_CLOSE, K::PushButton, QStringLiteral("&Cancel"), 149, 67, 66, 18},
            }};
}

}  // namespace

CUploadDlg::CUploadDlg(QWidget* parent, PrinterKind kind, const PortSettings& settings, QString title,
                       DownloadList items)
    : CDialog(UploadTemplate(), parent),
      m_kind(kind),
      m_settings(settings),
      m_title(std::move(title)),
      m_items(std::move(items)),
      m_connection(std::make_unique<CPrinterConnection>(m_settings, OpenFailureOf(m_kind))),
      m_session(std::make_unique<CUploadSession>(m_kind, *m_connection, m_items))
{
    CreateControls();
    ConnectControls();
}

// The session goes before the connection it refers to (member order), and
// the connection closes whatever is still open.
CUploadDlg::~CUploadDlg() = default;

void CUploadDlg::CreateControls()
{
    m_progress = Control<QProgressBar>(IDC_UPLOAD_PROGRESS);
    m_status = Control<QLabel>(IDC_UPLOAD_STATUS);
    // A progress control starts at 0 of 0..100 until a download sets its range.
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    // Logo names are shown as they are, never read as markup.
    m_status->setTextFormat(Qt::PlainText);
    m_timer = new QTimer(this);
    m_timer->setSingleShot(true);
}

void CUploadDlg::ConnectControls()
{
    ConnectClicked(IDC_UPLOAD_START, &CUploadDlg::OnDownloadStart);
    ConnectClicked(IDC_UPLOAD_SAVE_FILE, &CUploadDlg::OnSaveFile);
    ConnectClicked(IDC_UPLOAD_CLOSE, &QDialog::accept);
    connect(m_timer, &QTimer::timeout, this, &CUploadDlg::OnTimer);
}

bool CUploadDlg::OnInitDialog()
{
    m_index = 0;
    setWindowTitle(m_title);
    m_status->setText(QStringLiteral("Ready downloading."));
    return true;
}

void CUploadDlg::OnDownloadStart()
{
    if (m_sending)
        return;
    const CPrinterWorkScope talking(this);
    // A failed start has shown its message; the dialog stays ready.
    if (!m_session->Start())
        return;
    BeginSending();
}

void CUploadDlg::BeginSending()
{
    m_progress->setRange(0, kProgressPerItem * m_session->ItemCount());
    m_progress->setValue(0);
    m_index = 0;
    SetButtonsEnabled(false);
    SetSending(true);
    // Single-colour printers prepare their NV memory after the start command
    // and take nothing meanwhile. The buttons are already off, so the
    // operator cannot start anything else during the wait.
    if (const int prepareMs = m_session->PrepareDelayMs(); prepareMs > 0) {
        const auto showErasing = [this](int secondsLeft) {
            m_status->setText(QStringLiteral("Erasing NV memory... %1 s").arg(secondsLeft));
        };
        const CWaitCountdown countdown(showErasing);
        showErasing((prepareMs + 999) / 1000);
        repaint();
        Clock().Sleep(prepareMs);
    }
    StartTimer(CUploadSession::kFirstItemDelayMs);
}

void CUploadDlg::OnTimer()
{
    m_timer->stop();
    if (!m_sending)
        return;
    if (m_index == m_session->ItemCount()) {
        FinishDownload();
        return;
    }
    if (!SendNextItem()) {
        StopSending();
        return;
    }
    ++m_index;
    m_progress->setValue(kProgressPerItem * m_index);
    StartTimer(CUploadSession::kItemIntervalMs);
}

bool CUploadDlg::SendNextItem()
{
    ShowProgressText(m_index);
    // A failed write is shown by the session; the download stops there.
    return m_session->SendItem(m_index);
}

void CUploadDlg::ShowProgressText(int index)
{
    ShowElidedText(m_status, m_session->ProgressText(index));
}

void CUploadDlg::FinishDownload()
{
    SetButtonsEnabled(true);
    SetSending(false);
    // The message comes before the connection is closed, so the operator
    // answers it while the printer still holds the connection.
    if (m_session->ConfirmDelivery())
        ShowOutcome(Outcome::Success(QStringLiteral("Download Completed!")));
    m_session->Close();
}

void CUploadDlg::StopSending()
{
    m_timer->stop();
    SetSending(false);
    SetButtonsEnabled(true);
    m_session->Close();
}

void CUploadDlg::SetSending(bool sending)
{
    if (sending == m_sending)
        return;
    m_sending = sending;
    if (sending)
        BeginPrinterWork();
    else
        EndPrinterWork();
}

void CUploadDlg::done(int result)
{
    // Escape and the close box are refused while sending, so a download
    // still running here is ended by the program itself (it has to quit):
    // it stops, and the operator learns what the printer holds now.
    const bool stopped = m_sending;
    // Also closes a port that a start command failed to write to.
    StopSending();
    if (stopped)
        ShowMessage(m_session->StoppedText(m_index), MessageIcon::Exclamation);
    CDialog::done(result);
}

void CUploadDlg::StartTimer(int ms)
{
    m_timer->start(Clock().TimerIntervalMs(ms));
}

void CUploadDlg::SetButtonsEnabled(bool enabled)
{
    for (int id : {IDC_UPLOAD_START, IDC_UPLOAD_SAVE_FILE, IDC_UPLOAD_CLOSE})
        Control(id)->setEnabled(enabled);
}

void CUploadDlg::OnSaveFile()
{
    const QStringList chosen = ShowFileDialog(SavePrintFileRequest(nullptr));
    if (chosen.isEmpty())
        return;
    QString error;
    if (SaveDownloadPrintFile(chosen.first(), m_kind, m_items, &error))
        ShowOutcome(Outcome::Success(QStringLiteral("Print files Save finished"), MessageIcon::Exclamation));
    else
        ShowMessage(error, MessageIcon::Exclamation);
}
