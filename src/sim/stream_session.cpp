#include "sim/stream_session.h"

#include "sim/printer_core.h"
#include "sim/sim_kind_table.h"
#include "sim/stream_decoder.h"

CStreamSession::CStreamSession(CPrinterCore& core, QString channel, ReplyFunction reply)
    : m_core(core), m_channel(std::move(channel)), m_reply(std::move(reply))
{
    m_decoder = SimKindEntryOf(core.Kind()).makeDecoder(*this);
}

CStreamSession::~CStreamSession() = default;

void CStreamSession::Feed(QByteArrayView bytes)
{
    m_core.CountReceived(bytes.size());
    m_decoder->Feed(bytes);
}

bool CStreamSession::IsIdle() const
{
    return m_decoder->IsIdle();
}

void CStreamSession::Abandon(const QString& why)
{
    m_decoder->Abandon(why);
}

qsizetype CStreamSession::BufferedBytes() const
{
    return m_decoder->BufferedBytes();
}

qint64 CStreamSession::RoomForNumbered() const
{
    return m_core.RoomForNumbered();
}

qint64 CStreamSession::RoomForAddressed(int key) const
{
    return m_core.RoomForAddressed(key);
}

void CStreamSession::Execute(const SimCommand& command)
{
    const QByteArray reply = m_core.Execute(command, m_channel);
    if (!reply.isEmpty() && m_reply)
        m_reply(reply);
}

void CStreamSession::CountSkipped(qint64 bytes)
{
    m_core.CountSkipped(bytes);
}
