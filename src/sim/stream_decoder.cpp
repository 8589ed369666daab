#include "sim/stream_decoder.h"

#include "kinds/command_bytes.h"

#include <algorithm>

void CStreamDecoder::Feed(QByteArrayView bytes)
{
    Consume(bytes);
}

void CStreamDecoder::Consume(QByteArrayView bytes)
{
    qsizetype i = 0;
    while (i < bytes.size()) {
        if (m_inPayload) {
            const qsizetype take = static_cast<qsizetype>(std::min<qint64>(m_payloadLeft, bytes.size() - i));
            if (m_keepPayload)
                m_payload.append(bytes.data() + i, take);
            else if (m_countPayload)
                m_sink.CountSkipped(take);
            m_payloadLeft -= take;
            i += take;
            if (m_payloadLeft == 0) {
                m_inPayload = false;
                OnPayloadEnd();
            }
            continue;
        }
        m_head.append(bytes[i++]);
        switch (ParseHead(m_head)) {
        case Step::NeedMore:
            break;
        case Step::Done:
        case Step::Payload:
            m_head.clear();
            break;
        case Step::Unknown:
        case Step::Malformed: {
            // Resume at the head's second byte. The rest of the head is
            // decoded again before the remaining input; each pass starts one
            // byte later, so this ends, and it only ever replays the head.
            m_sink.CountSkipped(1);
            ResetPhase();
            const QByteArray rest = m_head.mid(1);
            m_head.clear();
            Consume(rest);
            break;
        }
        }
    }
}

bool CStreamDecoder::IsIdle() const
{
    return m_head.isEmpty() && !m_inPayload && PhaseIdle();
}

void CStreamDecoder::Abandon(const QString& why)
{
    if (IsIdle())
        return;
    SimCommand command;
    command.type = SimCommandType::Abandoned;
    command.name = PendingName();
    command.reason = why;
    m_head.clear();
    m_payload.clear();
    m_payloadLeft = 0;
    m_inPayload = false;
    ResetPhase();
    Emit(command);
}

void CStreamDecoder::StartPayload(qint64 length, bool keep, bool countAsSkipped)
{
    m_payload.clear();
    m_keepPayload = keep;
    m_countPayload = countAsSkipped;
    m_payloadLeft = length;
    m_inPayload = length > 0;
    if (!m_inPayload)
        OnPayloadEnd();
}

QByteArray CStreamDecoder::TakePayload()
{
    QByteArray payload;
    payload.swap(m_payload);
    return payload;
}

std::optional<CStreamDecoder::Step> CStreamDecoder::ParseInitialise(const QByteArray& head)
{
    if (head.size() < 2)
        return Step::NeedMore;
    if (Byte(head, 1) != cmd::kInitialise)
        return std::nullopt;
    Emit(SimCommand{SimCommandType::Initialise});
    return Step::Done;
}

void CStreamDecoder::EmitRefused(const QString& name, const QString& reason)
{
    SimCommand command;
    command.type = SimCommandType::Refused;
    command.name = name;
    command.reason = reason;
    Emit(command);
}
