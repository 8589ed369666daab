#include "download/upload_session.h"

#include "download/start_command.h"
#include "framework/clock.h"
#include "framework/message_box.h"
#include "kinds/printer_kind_table.h"
#include "transport/printer_connection.h"

CUploadSession::CUploadSession(PrinterKind kind, CPrinterConnection& connection, const DownloadList& items)
    : m_kind(kind), m_connection(connection), m_items(items)
{
}

bool CUploadSession::Start()
{
    // A port left open by an earlier failed start is closed before it is
    // opened again.
    m_connection.ClosePrinter();
    if (!m_connection.OpenPrinter())
        return false;
    if (!m_connection.SendWhole(MakeStartCommand(m_kind, ItemCount()))) {
        ShowMessage("Error : Write failed!");
        return false;
    }
    return true;
}

int CUploadSession::PrepareDelayMs() const
{
    return KindEntry(m_kind).prepareDelayMs;
}

bool CUploadSession::SendItem(int index)
{
    const DownloadItem& item = m_items.at(static_cast<size_t>(index));
    if (m_connection.SendWhole(item.data))
        return true;
    ShowMessage(QStringLiteral("Error : Write failed!\r\n%1 could not be sent; the download stopped.")
                    .arg(ProgressText(index).trimmed()));
    return false;
}

QString CUploadSession::ProgressText(int index) const
{
    return QStringLiteral("Downloding... ") + m_items.at(static_cast<size_t>(index)).name +
           QString::asprintf(" ( %d / %d ) ", index + 1, ItemCount());
}

bool CUploadSession::ConfirmDelivery()
{
    if (!m_connection.HasPeerClosed())
        return true;
    ShowMessage("Error : Write failed!\r\nThe printer closed the connection before it had read the whole "
                "download.");
    return false;
}

void CUploadSession::Close()
{
    m_connection.ClosePrinter();
}

bool CUploadSession::Run(const std::function<void(int sent, int total)>& progress)
{
    if (!Start()) {
        Close();
        return false;
    }
    if (PrepareDelayMs() > 0)
        Clock().Sleep(PrepareDelayMs());
    for (int index = 0; index < ItemCount(); ++index) {
        Clock().Sleep(index == 0 ? kFirstItemDelayMs : kItemIntervalMs);
        if (!SendItem(index)) {
            Close();
            return false;
        }
        if (progress)
            progress(index + 1, ItemCount());
    }
    Clock().Sleep(kItemIntervalMs);
    if (!ConfirmDelivery()) {
        Close();
        return false;
    }
    ShowMessage("Download Completed!");
    Close();
    return true;
}
