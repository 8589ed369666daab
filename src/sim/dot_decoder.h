#pragma once

#include "sim/stream_decoder.h"

#include <vector>

// The commands of an impact printer (DOT MODE):
// - ESC @ (1B 40): initialise;
// - ESC g 0 n (1B 67 00 n), a length table of n big-endian 16-bit band
//   stream lengths, then the n streams: define NV images 1..n, replacing all
//   stored ones. When the streams together exceed the memory they are read
//   and dropped and the define is refused; the memory keeps what it had;
// - ESC g n (1B 67 n, n >= 1): print image n.
class CDotDecoder final : public CStreamDecoder {
public:
    explicit CDotDecoder(CCommandSink& sink) : CStreamDecoder(sink) {}

protected:
    Step ParseHead(const QByteArray& head) override;
    void OnPayloadEnd() override;
    void ResetPhase() override { m_phase = Phase::Idle; }
    bool PhaseIdle() const override { return m_phase == Phase::Idle; }
    QString PendingName() const override { return QStringLiteral("ESC g 0"); }

private:
    enum class Phase { Idle, LengthTable, Streams };

    Step ParseCommand(const QByteArray& head);
    Step ParseLengthTable(const QByteArray& head);

    Phase m_phase = Phase::Idle;
    int m_count = 0;
    bool m_keep = false;
    std::vector<int> m_lengths;
};
