#include "sim/dot_decoder.h"

#include "kinds/command_bytes.h"

CStreamDecoder::Step CDotDecoder::ParseHead(const QByteArray& head)
{
    return m_phase == Phase::LengthTable ? ParseLengthTable(head) : ParseCommand(head);
}

CStreamDecoder::Step CDotDecoder::ParseCommand(const QByteArray& head)
{
    if (Byte(head, 0) != cmd::kEsc)
        return Step::Unknown;
    if (const std::optional<Step> initialise = ParseInitialise(head))
        return *initialise;
    if (Byte(head, 1) != cmd::kDotImage)
        return Step::Unknown;
    if (head.size() < 3)
        return Step::NeedMore;
    const int number = Byte(head, 2);
    if (number != 0) {
        SimCommand print{SimCommandType::PrintNumbered};
        print.key = number;
        Emit(print);
        return Step::Done;
    }
    if (head.size() < 4)
        return Step::NeedMore;
    m_count = Byte(head, 3);
    if (m_count == 0) {
        EmitRefused(QStringLiteral("ESC g 0"), QStringLiteral("defines no image"));
        return Step::Done;
    }
    m_phase = Phase::LengthTable;
    return Step::Done;
}

CStreamDecoder::Step CDotDecoder::ParseLengthTable(const QByteArray& head)
{
    if (head.size() < 2 * m_count)
        return Step::NeedMore;
    m_lengths.clear();
    qint64 total = 0;
    for (int i = 0; i < m_count; ++i) {
        m_lengths.push_back((Byte(head, 2 * i) << 8) | Byte(head, 2 * i + 1));
        total += m_lengths.back();
    }
    const qint64 room = Sink().RoomForNumbered();
    m_keep = total <= room;
    if (!m_keep)
        EmitRefused(QStringLiteral("ESC g 0"), QStringLiteral("%1 images of %2 bytes do not fit the %3 bytes of NV memory")
                                                   .arg(m_count).arg(total).arg(room));
    m_phase = Phase::Streams;
    StartPayload(total, m_keep);
    return Step::Payload;
}

void CDotDecoder::OnPayloadEnd()
{
    m_phase = Phase::Idle;
    const QByteArray streams = TakePayload();
    if (!m_keep)
        return;
    SimCommand define{SimCommandType::DefineNumbered};
    qsizetype offset = 0;
    for (int length : m_lengths) {
        define.images.push_back(streams.mid(offset, length));
        offset += length;
    }
    Emit(define);
}
