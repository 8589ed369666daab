#pragma once

#include "sim/stream_decoder.h"

// The commands of a two-colour thermal printer, which keeps NV images under
// two-byte key codes:
// - ESC @ (1B 40): initialise;
// - GS 8 L p1 p2 p3 p4 30 43 30 kc1 kc2 b xL xH yL yH + planes: define an
//   image (replacing one under the same key code). Refused, with its data
//   read and dropped, when its layout does not match its length, it has no
//   dots, a key code byte lies outside the printable characters 20..7E (a
//   00 would end the key-code list reply early), or it does not fit the free
//   memory. Other functions of GS 8 L are skipped by their length;
// - GS ( L pL pH 30 fn ...: fn 64 "KC" key-code list, 65 "CLR" delete all,
//   66 kc1 kc2 delete one, 69 kc1 kc2 x y print one (scale 1 or 2), 51
//   remaining capacity. Other functions and parameters are skipped by their
//   length.
// A length beyond what any image needs (kMaxImageBytes), or a function
// byte m other than 30, marks the header as garbage.
class CTwoColorDecoder final : public CStreamDecoder {
public:
    explicit CTwoColorDecoder(CCommandSink& sink) : CStreamDecoder(sink) {}

protected:
    Step ParseHead(const QByteArray& head) override;
    void OnPayloadEnd() override;
    void ResetPhase() override { m_defining = false; }
    bool PhaseIdle() const override { return true; }
    QString PendingName() const override;

private:
    Step ParseDefine(const QByteArray& head);
    Step ParseFunction(const QByteArray& head);
    Step RunFunction(const QByteArray& head);
    Step Skip(const QByteArray& head, qint64 more);

    bool m_defining = false;  // the payload is a define's planes (else skipped bytes)
    QByteArray m_defineHead;  // the define's 17 header bytes
    int m_key = 0;
};
