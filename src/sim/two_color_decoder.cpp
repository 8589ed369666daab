#include "sim/two_color_decoder.h"

#include "kinds/command_bytes.h"
#include "sim/nv_image_decode.h"

namespace {

constexpr qsizetype kDefineHead = 17;  // GS 8 L up to and including yL yH

bool IsKeyCodeByte(int b)
{
    return b >= 0x20 && b <= 0x7E;
}

QString KeyText(int key)
{
    return QStringLiteral("%1 %2").arg(key >> 8, 2, 16, QLatin1Char('0')).arg(key & 0xFF, 2, 16, QLatin1Char('0'));
}

}  // namespace

CStreamDecoder::Step CTwoColorDecoder::ParseHead(const QByteArray& head)
{
    const int first = Byte(head, 0);
    if (first == cmd::kEsc)
        return ParseInitialise(head).value_or(Step::Unknown);
    if (first != cmd::kGs)
        return Step::Unknown;
    if (head.size() < 2)
        return Step::NeedMore;
    const int second = Byte(head, 1);
    if (second != cmd::kTwoColorDefine && second != cmd::kTwoColorFunction)
        return Step::Unknown;
    if (head.size() < 3)
        return Step::NeedMore;
    if (Byte(head, 2) != cmd::kTwoColorL)
        return Step::Unknown;
    return second == cmd::kTwoColorDefine ? ParseDefine(head) : ParseFunction(head);
}

CStreamDecoder::Step CTwoColorDecoder::ParseDefine(const QByteArray& head)
{
    if (head.size() < 9)
        return Step::NeedMore;
    const qint64 length = static_cast<qint64>(Word(head, 3)) | (static_cast<qint64>(Word(head, 5)) << 16);
    if (Byte(head, 7) != cmd::kTwoColorM || length < 2 || length > kMaxImageBytes + 10)
        return Step::Malformed;
    if (Byte(head, 8) != cmd::kFnDefineRaster)
        return Skip(head, length - 2);  // another GS 8 L function (column format, ...)
    if (length < kDefineHead - 7)
        return Step::Malformed;
    if (head.size() < kDefineHead)
        return Step::NeedMore;
    // From here the length is trusted to frame the command: whatever is
    // wrong inside it, its data is read and dropped, and the next command
    // starts after it.
    const QString name = QStringLiteral("GS 8 L");
    const int key = (Byte(head, 10) << 8) | Byte(head, 11);
    const int planes = Byte(head, 12);
    const int width = Word(head, 13);
    const int height = Word(head, 15);
    const qint64 payload = length - 10;
    const qint64 planeBytes = static_cast<qint64>((width + 7) / 8) * height;
    QString refusal;
    if (Byte(head, 9) != cmd::kRasterFormat)
        refusal = QStringLiteral("not the raster format");
    else if (planes < 1 || planes > 2)
        refusal = QStringLiteral("%1 colour planes (a two-colour printer takes 1 or 2)").arg(planes);
    else if (payload != planes * (1 + planeBytes))
        refusal = QStringLiteral("length %1 does not match %2 planes of %3 x %4 dots")
                      .arg(length).arg(planes).arg(width).arg(height);
    else if (width == 0 || height == 0)
        refusal = QStringLiteral("image without dots (%1 x %2)").arg(width).arg(height);
    else if (!IsKeyCodeByte(key >> 8) || !IsKeyCodeByte(key & 0xFF))
        refusal = QStringLiteral("key code %1 outside 20..7E").arg(KeyText(key));
    else if (length + 7 > Sink().RoomForAddressed(key))
        refusal = QStringLiteral("%1 bytes do not fit the %2 bytes free").arg(length + 7).arg(Sink().RoomForAddressed(key));
    if (!refusal.isEmpty()) {
        EmitRefused(name, refusal);
        StartPayload(payload, false);
        return Step::Payload;
    }
    m_defining = true;
    m_defineHead = head;
    m_key = key;
    StartPayload(payload, true);
    return Step::Payload;
}

CStreamDecoder::Step CTwoColorDecoder::ParseFunction(const QByteArray& head)
{
    if (head.size() < 7)
        return Step::NeedMore;
    const int length = Word(head, 3);
    if (length < 2 || Byte(head, 5) != cmd::kTwoColorM)
        return Step::Malformed;
    const int fn = Byte(head, 6);
    struct Known { int fn; int length; };
    constexpr Known kKnown[] = {{cmd::kFnKeyCodeList, 4}, {cmd::kFnDeleteAll, 5}, {cmd::kFnDeleteOne, 4},
                                {cmd::kFnPrint, 6}, {cmd::kFnCapacity, 2}};
    for (const Known& known : kKnown) {
        if (known.fn == fn && known.length == length) {
            if (head.size() < 5 + length)
                return Step::NeedMore;
            return RunFunction(head);
        }
    }
    return Skip(head, length - 2);
}

CStreamDecoder::Step CTwoColorDecoder::RunFunction(const QByteArray& head)
{
    const int fn = Byte(head, 6);
    const QByteArray params = head.mid(7);
    const int key = params.size() >= 2 ? (Byte(params, 0) << 8) | Byte(params, 1) : 0;
    SimCommand command;
    command.key = key;
    switch (fn) {
    case cmd::kFnKeyCodeList:
        if (params != "KC")
            return Skip(head, 0);
        command.type = SimCommandType::ListKeys;
        break;
    case cmd::kFnDeleteAll:
        // The letters guard against deleting everything by accident.
        if (params != "CLR")
            return Skip(head, 0);
        command.type = SimCommandType::DeleteAll;
        break;
    case cmd::kFnDeleteOne:
        command.type = SimCommandType::DeleteOne;
        break;
    case cmd::kFnPrint: {
        const int x = Byte(params, 2);
        const int y = Byte(params, 3);
        if (x < 1 || x > 2 || y < 1 || y > 2) {
            EmitRefused(QStringLiteral("GS ( L fn 69"), QStringLiteral("scale %1 x %2 (1 or 2 each)").arg(x).arg(y));
            return Step::Done;
        }
        command.type = SimCommandType::PrintAddressed;
        command.scaleX = x;
        command.scaleY = y;
        break;
    }
    default:
        command.type = SimCommandType::QueryCapacity;
        break;
    }
    Emit(command);
    return Step::Done;
}

CStreamDecoder::Step CTwoColorDecoder::Skip(const QByteArray& head, qint64 more)
{
    Sink().CountSkipped(head.size());
    StartPayload(more, false, true);
    return Step::Payload;
}

void CTwoColorDecoder::OnPayloadEnd()
{
    if (!m_defining) {
        TakePayload();
        return;
    }
    m_defining = false;
    SimCommand define{SimCommandType::DefineAddressed};
    define.key = m_key;
    define.images.push_back(m_defineHead + TakePayload());
    Emit(define);
}

QString CTwoColorDecoder::PendingName() const
{
    return m_defining ? QStringLiteral("GS 8 L") : QStringLiteral("command");
}
