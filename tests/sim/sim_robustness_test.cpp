#include "sim_test_support.h"

#include <gtest/gtest.h>

#include <random>

namespace {

constexpr PrinterKind kKinds[] = {PrinterKind::Mono, PrinterKind::TwoColor, PrinterKind::DotMode};

// Bytes that start or continue commands of every kind, so that random
// streams reach deep into the decoders rather than only their first byte.
QByteArray CommandRichGarbage(qsizetype size, unsigned seed)
{
    const QByteArray alphabet = Hex("1B 1C 1D 28 38 4C 67 70 71 30 40 41 42 43 45 33 00 01 02 FF 2D 4B 52");
    std::mt19937 random(seed);
    QByteArray bytes(size, '\0');
    for (char& b : bytes)
        b = alphabet[std::uniform_int_distribution<int>(0, static_cast<int>(alphabet.size()) - 1)(random)];
    return bytes;
}

QByteArray UniformGarbage(qsizetype size, unsigned seed)
{
    std::mt19937 random(seed);
    QByteArray bytes(size, '\0');
    for (char& b : bytes)
        b = static_cast<char>(random() & 0xFF);
    return bytes;
}

// What a printer of the kind answers to, after any garbage once it has
// dropped a half command.
QByteArray ProbeCommand(PrinterKind kind)
{
    return kind == PrinterKind::TwoColor ? CapacityCommand() : kind == PrinterKind::Mono ? Hex("1C 70 05 00") : Hex("1B 67 05");
}

bool ProbeAnswered(const CoreHarness& h, PrinterKind kind)
{
    if (kind == PrinterKind::TwoColor)
        return h.replies.endsWith('\0') && h.replies.lastIndexOf("\x37\x31") >= 0;
    return !h.core->Prints().empty() && h.core->Prints().back().key == 5;
}

TEST(SimRobustness, RandomBytesAreSafeBoundedAndCounted)
{
    constexpr qsizetype kSize = 300000;
    for (PrinterKind kind : kKinds) {
        for (bool rich : {false, true}) {
            const std::string name = SimKindName(kind).toStdString() + (rich ? " command-rich" : " uniform");
            CoreHarness h(kind);
            const QByteArray garbage = rich ? CommandRichGarbage(kSize, 11) : UniformGarbage(kSize, 12);
            std::mt19937 random(3);
            qsizetype at = 0;
            qsizetype mostBuffered = 0;
            while (at < garbage.size()) {
                const qsizetype take = std::min<qsizetype>(garbage.size() - at, std::uniform_int_distribution<int>(1, 4000)(random));
                h.session->Feed(QByteArrayView(garbage).sliced(at, take));
                at += take;
                mostBuffered = std::max(mostBuffered, h.session->BufferedBytes());
            }
            const SimCounters counters = h.core->Counters();
            EXPECT_EQ(counters.bytesReceived, kSize) << name;
            EXPECT_GT(counters.unknownBytes, 0) << name;
            // Held bytes never exceed the memory plus the longest command head.
            EXPECT_LE(mostBuffered, 262144 + 512) << name;
            EXPECT_LE(262144 - h.core->FreeBytes(), 262144) << name;

            h.session->Abandon("test");
            h.Feed(ProbeCommand(kind));
            EXPECT_TRUE(ProbeAnswered(h, kind)) << name;
        }
    }
}

TEST(SimRobustness, HugeDeclaredLengthsAreNeitherAllocatedNorAwaitedBeyondReason)
{
    struct Case {
        const char* name;
        PrinterKind kind;
        QByteArray head;
        qint64 payload;         // bytes that follow the head in the test
        bool swallowsPayload;   // the payload is read and dropped (else: garbage, decoded as such)
        int refused;
    };
    const Case cases[] = {
        {"GS 8 L beyond any image", PrinterKind::TwoColor, Hex("1D 38 4C FF FF FF 7F 30 43 30 30 31 02"), 100000, false, 0},
        {"GS 8 L beyond the free memory", PrinterKind::TwoColor,
         Hex("1D 38 4C 0C 00 08 00 30 43 30 30 31 02 00 04 00 08"), 0x8000C - 10, true, 1},
        {"FS q record beyond any image", PrinterKind::Mono, Hex("1C 71 01 FF FF FF FF"), 100000, false, 1},
        {"FS q record beyond the memory", PrinterKind::Mono, Hex("1C 71 01 00 01 00 01"), 0x100 * 8 * 0x100, true, 1},
        {"ESC g 0 with 255 streams of 65,535 bytes", PrinterKind::DotMode, Hex("1B 67 00 FF") + QByteArray(510, '\xFF'),
         255LL * 65535, true, 1},
    };
    for (const Case& c : cases) {
        CoreHarness h(c.kind);
        h.Feed(c.head);
        const QByteArray chunk(65536, '\0');
        qsizetype mostBuffered = 0;
        for (qint64 fed = 0; fed < c.payload; fed += chunk.size()) {
            h.session->Feed(QByteArrayView(chunk).first(std::min<qint64>(chunk.size(), c.payload - fed)));
            mostBuffered = std::max(mostBuffered, h.session->BufferedBytes());
        }
        EXPECT_LE(mostBuffered, 1024) << c.name;
        EXPECT_EQ(h.core->Counters().commandsRefused, c.refused) << c.name;
        if (c.swallowsPayload)
            EXPECT_TRUE(h.session->IsIdle()) << c.name;
        else
            EXPECT_GE(h.core->Counters().unknownBytes, c.payload) << c.name;
        h.session->Abandon("test");
        h.Feed(ProbeCommand(c.kind));
        EXPECT_TRUE(ProbeAnswered(h, c.kind)) << c.name;
        EXPECT_TRUE(h.core->StoredImages().empty()) << c.name;
    }
}

TEST(SimRobustness, AStreamCutAnywhereIsAbandonedAndTheNextOneWorks)
{
    const QByteArray streams[] = {
        Hex("1C 71 02") + MonoRecordOf(9, 3, {{1, 1}}) + MonoRecordOf(8, 8, {}) + Hex("1C 70 01 00"),
        TwoColorDefine('0', '1', 10, 2, {{0, 0}}, {{1, 1}}) + ListKeysCommand(),
        DotDefine({Hex("1B 72 00 1B 2A 00 03 00 FF 00 00 0D 1B 72 01 1B 2A 00 03 00 00 80 00 1B 4A 10")}) + Hex("1B 67 01"),
    };
    for (int k = 0; k < 3; ++k) {
        const PrinterKind kind = kKinds[k];
        const QByteArray& stream = streams[k];
        CoreHarness whole(kind);
        whole.Feed(stream);
        for (qsizetype cut = 1; cut < stream.size(); ++cut) {
            CoreHarness h(kind);
            h.Feed(stream.left(cut));
            const bool half = !h.session->IsIdle();
            h.session->Abandon("cut");
            EXPECT_EQ(h.core->Counters().commandsAbandoned, half ? 1 : 0);
            EXPECT_TRUE(h.session->IsIdle());
            h.Feed(stream);
            const std::vector<SimStoredImage> expected = whole.core->StoredImages();
            const std::vector<SimStoredImage> got = h.core->StoredImages();
            ASSERT_EQ(got.size(), expected.size()) << SimKindName(kind).toStdString() << " cut at " << cut;
            for (size_t i = 0; i < got.size(); ++i)
                EXPECT_EQ(got[i].dots, expected[i].dots);
        }
    }
}

}  // namespace
