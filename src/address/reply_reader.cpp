#include "address/reply_reader.h"

QByteArray ReadReply(const ByteReader& read, int bufferSize, LeadingZero leadingZero)
{
    constexpr int kMaxFailures = 20;
    QByteArray reply;
    int failures = 0;
    bool first = true;
    while (reply.size() < bufferSize) {
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
            continue;
        }
        first = false;
        reply.append(byte);
        if (byte == '\0')
            break;
    }
    return reply;
}
