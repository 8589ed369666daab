#include "operations/upload_session.h"

#include "operations/start_command.h"
#include "framework/clock.h"
#include "framework/outcome.h"
#include "operations/printer_kind_table.h"
#include "transport/printer_connection.h"

#include <algorithm>

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
        Fail(QStringLiteral("Error : Write failed!"));
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
    Fail(QStringLiteral("Error : Write failed!\r\n%1 could not be sent; the download stopped.")
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
    Fail(QStringLiteral("Error : Write failed!\r\nThe printer closed the connection before it had read the whole "
                        "download."));
    return false;
}

QString CUploadSession::StoppedText(int sent) const
{
    // A DOT MODE list starts with the length table, which is no logo.
    const int tableItems = KindEntry(m_kind).lengthTable ? 1 : 0;
    const int logos = std::max(0, ItemCount() - tableItems);
    const int logosSent = std::clamp(sent - tableItems, 0, logos);
    QString text = QStringLiteral("The download was stopped: %1 of %2 logos were sent.").arg(logosSent).arg(logos);
    if (PrepareDelayMs() > 0)
        text += QStringLiteral("\r\nThe printer erased its NV memory when the download started");
    else
        text += QStringLiteral("\r\nThe printer started to replace its NV images");
    return text + QStringLiteral(" and does not hold the whole set; download the logos again.");
}

void CUploadSession::Fail(const QString& text)
{
    m_failure = text;
    ShowOutcome(Outcome::Failure(text));
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
    ShowOutcome(Outcome::Success(QStringLiteral("Download Completed!")));
    Close();
    return true;
}
