#include "transport/usb_stand_in.h"

#include <algorithm>
#include <cerrno>

namespace {

constexpr int kTransferSize = 4096;

class CStandInFile final : public CDeviceFile {
public:
    explicit CStandInFile(CUsbStandIn::Printer& printer) : m_printer(printer) {}
    ~CStandInFile() override { m_printer.cancelled += m_inFlight.size(); }

    TransferResult Write(const char* bytes, int count, int timeoutMs) override
    {
        TransferResult result;
        while (result.transferred < count) {
            if (!m_inFlight.isEmpty() && !Finish()) {
                m_printer.waitBounds.push_back(timeoutMs);
                result.error = TransportError::FromErrno(ETIMEDOUT, QStringLiteral("write stand-in"));
                return result;
            }
            const int piece = std::min(kTransferSize, count - result.transferred);
            m_inFlight = QByteArray(bytes + result.transferred, piece);
            m_printer.transfers.push_back(piece);
            result.transferred += piece;
        }
        return result;
    }

    TransportError WaitWritten(int timeoutMs) override
    {
        m_printer.waitBounds.push_back(timeoutMs);
        if (!Finish())
            return TransportError::FromErrno(ETIMEDOUT, QStringLiteral("send stand-in"));
        return {};
    }

    TransferResult Read(char*, int, int) override
    {
        return {0, TransportError::FromErrno(ETIMEDOUT, QStringLiteral("read stand-in"))};
    }

private:
    // The transfer in flight ends, unless the printer takes nothing.
    bool Finish()
    {
        if (m_inFlight.isEmpty())
            return true;
        if (m_printer.stalled)
            return false;
        m_printer.delivered += m_inFlight;
        m_inFlight.clear();
        return true;
    }

    CUsbStandIn::Printer& m_printer;
    QByteArray m_inFlight;
};

}  // namespace

CUsbStandIn::CUsbStandIn()
{
    m_previous = SetUsbDeviceOpener([this](const QString&, TransportError*) -> std::unique_ptr<CDeviceFile> {
        ++m_printer.opens;
        return std::make_unique<CStandInFile>(m_printer);
    });
}

CUsbStandIn::~CUsbStandIn()
{
    SetUsbDeviceOpener(std::move(m_previous));
}
