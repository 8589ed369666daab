#include "address/reply_reader.h"

#include "framework/clock.h"

QByteArray ReadReply(const ByteReader& read, int bufferSize, LeadingZero leadingZero)
{
    constexpr int kMaxFailures = 20;
    QByteArray reply;
    int failures = 0;
    bool first = true;
    // Skipped leading 00 bytes count against the buffer like stored ones, so
    // a printer that sends 00 without end cannot keep the reading going.
    int skipped = 0;
    const qint64 deadline = Clock().NowMs() + kReplyTotalMs;
    while (reply.size() + skipped < bufferSize && Clock().NowMs() < deadline) {
        char byte = 0;
        if (read(&byte, 1) != 1) {
            if (first && leadingZero == LeadingZero::EndsReplyAndFirstFailureEnds)
                break;
            first = false;
            if (++failures > kMaxFailures)
                break;
            continue;
        }
        if (reply.isEmpty() && byte == '\0' && leadingZero == LeadingZero::Skipped) {
            first = false;
            ++skipped;
            continue;
        }
        first = false;
        reply.append(byte);
        if (byte == '\0')
            break;
    }
    return reply;
}
