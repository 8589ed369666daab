#pragma once

#include "sim/sim_command.h"

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

// Cuts one byte stream into printer commands. The printer kinds derive from
// it and say how a command begins; this class does the bookkeeping that every
// kind shares:
// - the bytes of a command's head (everything up to its payload) are kept,
//   at most a few hundred bytes;
// - a payload (image data) is either collected, after its length has been
//   checked against the room in NV memory, or skipped byte by byte without
//   being kept, so memory stays bounded whatever lengths arrive;
// - when a head turns out to be no command of the kind, or malformed, its
//   first byte is counted as skipped and decoding resumes at the next byte,
//   so the decoder finds the next command after any garbage.
// The result never depends on how the stream is split into Feed() calls.
//
// Not thread-safe: one decoder belongs to one stream on one thread.
class CStreamDecoder {
public:
    explicit CStreamDecoder(CCommandSink& sink) : m_sink(sink) {}
    virtual ~CStreamDecoder() = default;
    CStreamDecoder(const CStreamDecoder&) = delete;
    CStreamDecoder& operator=(const CStreamDecoder&) = delete;

    void Feed(QByteArrayView bytes);

    // True between commands; false while a command waits for more bytes.
    bool IsIdle() const;

    // Drops a half-received command and reports it as abandoned (why: the
    // reason, e.g. the silence that ended it). Nothing happens when idle.
    void Abandon(const QString& why);

    // Bytes held for the command in progress (head and collected payload).
    qsizetype BufferedBytes() const { return m_head.size() + m_payload.size(); }

protected:
    enum class Step {
        NeedMore,   // the head is not complete yet
        Done,       // the head was a whole command (or a part of one) and is consumed
        Payload,    // StartPayload() was called; the head is consumed
        Unknown,    // the head is no command of this kind
        Malformed,  // the head is a command of this kind but cannot be right
    };

    // Looks at the head collected so far; called after every byte that is
    // not payload.
    virtual Step ParseHead(const QByteArray& head) = 0;
    // The payload announced by StartPayload() is complete; kept bytes are in
    // TakePayload().
    virtual void OnPayloadEnd() = 0;
    // Forgets any command in progress (after Malformed, or on Abandon).
    virtual void ResetPhase() = 0;
    // True when the kind has no multi-part command in progress.
    virtual bool PhaseIdle() const = 0;
    // Name of the command in progress, for the abandoned report.
    virtual QString PendingName() const = 0;

    // The next length bytes are payload: kept when keep is true, skipped
    // otherwise (countAsSkipped: they count as unknown bytes). A zero length
    // ends at once, calling OnPayloadEnd().
    void StartPayload(qint64 length, bool keep, bool countAsSkipped = false);
    QByteArray TakePayload();

    // Every kind's ESC @ (initialise). For a head that starts with ESC:
    // NeedMore until its second byte, Done (Initialise emitted) for ESC @;
    // nothing for another ESC command, which the kind decodes itself.
    std::optional<Step> ParseInitialise(const QByteArray& head);

    // The byte at, and the 16-bit little-endian number at, a place of a head.
    static int Byte(const QByteArray& bytes, qsizetype at) { return static_cast<unsigned char>(bytes[at]); }
    static int Word(const QByteArray& bytes, qsizetype at) { return Byte(bytes, at) | (Byte(bytes, at + 1) << 8); }

    CCommandSink& Sink() const { return m_sink; }
    void Emit(const SimCommand& command) { m_sink.Execute(command); }
    void EmitRefused(const QString& name, const QString& reason);

private:
    void Consume(QByteArrayView bytes);

    CCommandSink& m_sink;
    QByteArray m_head;
    QByteArray m_payload;
    qint64 m_payloadLeft = 0;
    bool m_inPayload = false;
    bool m_keepPayload = false;
    bool m_countPayload = false;
};
