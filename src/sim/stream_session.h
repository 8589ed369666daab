#pragma once

#include "sim/sim_command.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>

class CPrinterCore;
class CStreamDecoder;

// One byte stream into the printer (a TCP connection, the pseudo-terminal):
// the decoder for the printer's kind, wired to the printer core. Replies go
// to the reply function the moment the command that asks for them is
// complete, before the rest of the bytes at hand are decoded.
//
// Threading: belongs to the printer's serving thread (or, in tests, to the
// thread that feeds it, as long as nothing else drives the same core).
class CStreamSession final : public CCommandSink {
public:
    using ReplyFunction = std::function<void(const QByteArray&)>;

    CStreamSession(CPrinterCore& core, QString channel, ReplyFunction reply);
    ~CStreamSession() override;

    void Feed(QByteArrayView bytes);
    bool IsIdle() const;
    // Drops a half-received command, counting it as abandoned.
    void Abandon(const QString& why);
    qsizetype BufferedBytes() const;
    const QString& Channel() const { return m_channel; }

    qint64 RoomForNumbered() const override;
    qint64 RoomForAddressed(int key) const override;
    void Execute(const SimCommand& command) override;
    void CountSkipped(qint64 bytes) override;

private:
    CPrinterCore& m_core;
    QString m_channel;
    ReplyFunction m_reply;
    std::unique_ptr<CStreamDecoder> m_decoder;
};
