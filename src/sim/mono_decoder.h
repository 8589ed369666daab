#pragma once

#include "sim/stream_decoder.h"

#include <vector>

// The commands of a single-colour thermal printer:
// - ESC @ (1B 40): initialise;
// - FS q n (1C 71 n) and n records xL xH yL yH + column data: define NV bit
//   images 1..n, replacing all stored ones. The set is taken whole or not at
//   all: when a record is empty, or the set does not fit the memory, the
//   rest is still read (to stay in step with the stream) and the define is
//   refused; the memory keeps what it had. A record header whose data would
//   exceed kMaxImageBytes cannot be real and is decoded as garbage;
// - FS p n m (1C 70 n m): print image n, m = 0..3 (or '0'..'3') normal,
//   double width, double height, both;
// - the 30-byte header block the host sends in front of FS p:
//   "----- Logo : N -----\n" padded with zero bytes. It becomes the header of
//   the next print, unless another command comes first.
class CMonoDecoder final : public CStreamDecoder {
public:
    explicit CMonoDecoder(CCommandSink& sink) : CStreamDecoder(sink) {}

protected:
    Step ParseHead(const QByteArray& head) override;
    void OnPayloadEnd() override;
    void ResetPhase() override;
    bool PhaseIdle() const override { return m_phase == Phase::Idle; }
    QString PendingName() const override;

private:
    enum class Phase { Idle, RecordHead };

    Step ParseCommand(const QByteArray& head);
    Step ParseRecordHead(const QByteArray& head);
    Step ParseHeaderBlock(const QByteArray& head);
    void EndRecord();

    Phase m_phase = Phase::Idle;
    int m_expected = 0;              // records announced by FS q
    int m_received = 0;              // records read so far
    qint64 m_total = 0;              // bytes of the records read so far
    QString m_refusal;               // why the set will be refused, empty: it is fine so far
    QByteArray m_recordHead;         // xL xH yL yH of the record being read
    std::vector<QByteArray> m_records;
    QString m_pendingHeader;         // header block waiting for its print
};
