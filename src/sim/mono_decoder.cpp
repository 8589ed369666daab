#include "sim/mono_decoder.h"

#include "kinds/command_bytes.h"
#include "sim/nv_image_decode.h"

namespace {

constexpr char kHeaderPrefix[] = "----- Logo : ";
constexpr char kHeaderSuffix[] = " -----\n";
constexpr qsizetype kHeaderBlock = 30;
constexpr qsizetype kHeaderMaxDigits = 9;

// FS p takes the size mode as a number or as its digit.
int PrintMode(int m)
{
    if (m >= 0 && m <= 3)
        return m;
    if (m >= '0' && m <= '3')
        return m - '0';
    return -1;
}

}  // namespace

CStreamDecoder::Step CMonoDecoder::ParseHead(const QByteArray& head)
{
    return m_phase == Phase::RecordHead ? ParseRecordHead(head) : ParseCommand(head);
}

CStreamDecoder::Step CMonoDecoder::ParseCommand(const QByteArray& head)
{
    const int first = Byte(head, 0);
    if (first == '-')
        return ParseHeaderBlock(head);
    if (first == cmd::kEsc) {
        const std::optional<Step> step = ParseInitialise(head);
        if (step == Step::Done)
            m_pendingHeader.clear();  // a header block belongs to the print right after it
        return step.value_or(Step::Unknown);
    }
    if (first != cmd::kFs)
        return Step::Unknown;
    if (head.size() < 2)
        return Step::NeedMore;
    const int second = Byte(head, 1);
    if (second == cmd::kMonoDefine) {  // FS q n
        if (head.size() < 3)
            return Step::NeedMore;
        const int count = Byte(head, 2);
        if (count == 0) {
            m_pendingHeader.clear();
            EmitRefused(QStringLiteral("FS q"), QStringLiteral("defines no image"));
            return Step::Done;
        }
        m_pendingHeader.clear();
        m_phase = Phase::RecordHead;
        m_expected = count;
        m_received = 0;
        m_total = 0;
        m_refusal.clear();
        m_records.clear();
        return Step::Done;
    }
    if (second == cmd::kMonoPrint) {  // FS p n m
        if (head.size() < 4)
            return Step::NeedMore;
        const int mode = PrintMode(Byte(head, 3));
        if (mode < 0)
            return Step::Malformed;
        SimCommand print{SimCommandType::PrintNumbered};
        print.key = Byte(head, 2);
        print.mode = mode;
        print.scaleX = (mode & 1) ? 2 : 1;
        print.scaleY = (mode & 2) ? 2 : 1;
        print.header = m_pendingHeader;
        m_pendingHeader.clear();
        Emit(print);
        return Step::Done;
    }
    return Step::Unknown;
}

CStreamDecoder::Step CMonoDecoder::ParseHeaderBlock(const QByteArray& head)
{
    const qsizetype prefix = sizeof(kHeaderPrefix) - 1;
    const qsizetype suffix = sizeof(kHeaderSuffix) - 1;
    const qsizetype last = head.size() - 1;  // only the newest byte needs checking
    if (last < prefix)
        return head[last] == kHeaderPrefix[last] ? Step::NeedMore : Step::Unknown;
    qsizetype digitsEnd = prefix;
    while (digitsEnd < head.size() && head[digitsEnd] >= '0' && head[digitsEnd] <= '9')
        ++digitsEnd;
    const qsizetype digits = digitsEnd - prefix;
    if (digits > kHeaderMaxDigits)
        return Step::Unknown;
    if (digitsEnd == head.size())
        return Step::NeedMore;
    if (digits == 0)
        return Step::Unknown;
    if (last < digitsEnd + suffix)
        return head[last] == kHeaderSuffix[last - digitsEnd] ? Step::NeedMore : Step::Unknown;
    if (head[last] != '\0')
        return Step::Unknown;
    if (head.size() < kHeaderBlock)
        return Step::NeedMore;
    SimCommand block{SimCommandType::HeaderBlock};
    block.header = QString::fromLatin1(head.left(digitsEnd + suffix - 1));
    m_pendingHeader = block.header;
    Emit(block);
    return Step::Done;
}

CStreamDecoder::Step CMonoDecoder::ParseRecordHead(const QByteArray& head)
{
    if (head.size() < 4)
        return Step::NeedMore;
    const int xBytes = Byte(head, 0) | (Byte(head, 1) << 8);
    const int yBytes = Byte(head, 2) | (Byte(head, 3) << 8);
    const qint64 data = MonoRecordSize(xBytes, yBytes) - 4;
    if (data > kMaxImageBytes) {
        EmitRefused(QStringLiteral("FS q"), QStringLiteral("record %1 announces %2 bytes, more than any image")
                                                .arg(m_received + 1).arg(data));
        return Step::Malformed;
    }
    m_recordHead = head;
    if (data == 0 && m_refusal.isEmpty())
        m_refusal = QStringLiteral("image %1 has no dots").arg(m_received + 1);
    m_total += 4 + data;
    const qint64 room = Sink().RoomForNumbered();
    if (m_total > room && m_refusal.isEmpty())
        m_refusal = QStringLiteral("%1 images need more than the %2 bytes of NV memory").arg(m_expected).arg(room);
    StartPayload(data, m_refusal.isEmpty());
    return Step::Payload;
}

void CMonoDecoder::OnPayloadEnd()
{
    if (m_refusal.isEmpty())
        m_records.push_back(m_recordHead + TakePayload());
    else
        TakePayload();
    EndRecord();
}

void CMonoDecoder::EndRecord()
{
    if (++m_received < m_expected)
        return;
    m_phase = Phase::Idle;
    if (!m_refusal.isEmpty()) {
        m_records.clear();
        EmitRefused(QStringLiteral("FS q"), m_refusal);
        return;
    }
    SimCommand define{SimCommandType::DefineNumbered};
    define.images = std::move(m_records);
    m_records.clear();
    Emit(define);
}

void CMonoDecoder::ResetPhase()
{
    m_phase = Phase::Idle;
    m_records.clear();
    m_refusal.clear();
}

QString CMonoDecoder::PendingName() const
{
    return m_phase == Phase::RecordHead ? QStringLiteral("FS q") : QStringLiteral("command");
}
