#include "sim_test_support.h"
#include "support/temp_dir.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace {

const char kDotExample[] = "1B 72 00 1B 2A 00 03 00 FF 00 00 0D 1B 72 01 1B 2A 00 03 00 00 80 00 1B 4A 10";

struct KindCase {
    PrinterKind kind;
    QByteArray define;
    QStringList names;
};

std::vector<KindCase> DefinesOfEachKind()
{
    return {
        {PrinterKind::Mono, Hex("1C 71 02") + MonoRecordOf(9, 1, {{0, 0}}) + MonoRecordOf(8, 16, {{3, 15}}), {"1", "2"}},
        {PrinterKind::TwoColor, TwoColorDefine('0', '1', 10, 2, {{0, 0}}, {{1, 1}}) + TwoColorDefine('A', 'z', 8, 1, {{7, 0}}),
         {"01", "Az"}},
        {PrinterKind::DotMode, DotDefine({Hex(kDotExample), Hex(kDotExample).left(12)}), {"1", "2"}},
    };
}

SimOptions InFolders(const CTestDir& dir)
{
    SimOptions options;
    options.stateDir = dir.Path("state");
    options.outDir = dir.Path("out");
    return options;
}

TEST(SimState, MemoryIsKeptAcrossRestarts)
{
    for (const KindCase& c : DefinesOfEachKind()) {
        CTestDir dir;
        std::vector<SimStoredImage> before;
        {
            CoreHarness h(c.kind, InFolders(dir));
            h.Feed(c.define);
            before = h.core->StoredImages();
        }
        CoreHarness after(c.kind, InFolders(dir));
        const std::vector<SimStoredImage> images = after.core->StoredImages();
        ASSERT_EQ(images.size(), before.size()) << SimKindName(c.kind).toStdString();
        for (size_t i = 0; i < images.size(); ++i) {
            EXPECT_EQ(images[i].name, c.names[static_cast<qsizetype>(i)]);
            EXPECT_EQ(images[i].dots, before[i].dots);
            EXPECT_EQ(images[i].byteCount, before[i].byteCount);
            EXPECT_EQ(images[i].stored, before[i].stored);
        }
        EXPECT_EQ(after.core->FreeBytes(), 262144 - c.define.size() + (c.kind == PrinterKind::TwoColor ? 0 : c.kind == PrinterKind::Mono ? 3 : 8));
        // Another kind in the same folder has a memory of its own.
        CoreHarness other(c.kind == PrinterKind::Mono ? PrinterKind::DotMode : PrinterKind::Mono, InFolders(dir));
        EXPECT_TRUE(other.core->StoredImages().empty());
    }
}

TEST(SimState, DamagedStateIsReportedAndReplacedByAnEmptyMemory)
{
    struct Case {
        const char* name;
        std::function<QByteArray(const QByteArray&)> damage;
    };
    const Case cases[] = {
        {"one byte changed", [](QByteArray b) { b[b.size() / 2] = static_cast<char>(b[b.size() / 2] ^ 0x40); return b; }},
        {"cut short", [](const QByteArray& b) { return b.left(b.size() - 5); }},
        {"empty", [](const QByteArray&) { return QByteArray(); }},
        {"not ours", [](const QByteArray&) { return QByteArray("[COMMON]\nModelType=1\n"); }},
    };
    for (const Case& c : cases) {
        CTestDir dir;
        {
            CoreHarness h(PrinterKind::TwoColor, InFolders(dir));
            h.Feed(TwoColorDefine('0', '1', 10, 2, {{0, 0}}));
        }
        const QString path = dir.Path("state/nv-two-color.bin");
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray damaged = c.damage(file.readAll());
        file.close();
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(damaged);
        file.close();

        CPrinterCore core(PrinterKind::TwoColor, InFolders(dir));
        QStringList notes;
        QString error;
        ASSERT_TRUE(core.Open(&notes, &error)) << c.name;
        EXPECT_EQ(notes.size(), 1) << c.name;
        EXPECT_TRUE(core.StoredImages().empty()) << c.name;
        EXPECT_TRUE(QFile::exists(path + ".corrupt")) << c.name;
        EXPECT_FALSE(QFile::exists(dir.Path("out/nv-3031.png"))) << c.name;

        // The next change is saved normally and read back.
        CStreamSession session(core, "test", {});
        session.Feed(TwoColorDefine('0', '2', 8, 1));
        CoreHarness again(PrinterKind::TwoColor, InFolders(dir));
        ASSERT_EQ(again.core->StoredImages().size(), 1u) << c.name;
        EXPECT_EQ(again.core->StoredImages()[0].name, "02");
    }
}

QJsonObject ReadIndex(const CTestDir& dir)
{
    QFile file(dir.Path("out/index.json"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    return document.object();
}

// The rendering as rows of '.', 'K' and 'R'; anything else shows as '?'.
QStringList PngRows(const QString& path)
{
    const QImage image(path);
    EXPECT_FALSE(image.isNull()) << path.toStdString();
    QStringList rows;
    for (int y = 0; y < image.height(); ++y) {
        QString row;
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y) & 0xFFFFFF;
            row += p == 0xFFFFFF ? '.' : p == 0 ? 'K' : p == 0xFF0000 ? 'R' : '?';
        }
        rows << row;
    }
    return rows;
}

TEST(SimOutput, StoredImagesAndPrintsBecomePngsListedInTheIndex)
{
    CTestDir dir;
    CoreHarness h(PrinterKind::TwoColor, InFolders(dir));
    h.Feed(TwoColorDefine('0', '1', 3, 2, {{0, 0}}, {{1, 1}}) + Hex("1D 28 4C 06 00 30 45 30 31 02 01")
           + TwoColorDefine('0', '2', 600, 2000) + Hex("1D 28 4C 06 00 30 45 30 39 01 01"));
    h.core->FlushOutput(true);

    EXPECT_EQ(PngRows(dir.Path("out/nv-3031.png")), QStringList({"K.......", ".R......"}));
    EXPECT_EQ(PngRows(dir.Path("out/print-000001.png")), QStringList({"KK..............", "..RR............"}));
    const QJsonObject index = ReadIndex(dir);
    EXPECT_EQ(index["kind"].toString(), "two-color");
    EXPECT_EQ(index["free"].toInteger(), 262144 - 23);
    const QJsonArray stored = index["stored"].toArray();
    ASSERT_EQ(stored.size(), 1);
    const QJsonObject image = stored[0].toObject();
    EXPECT_EQ(image["address"].toString(), "01");
    EXPECT_EQ(image["keyCode"].toString(), "3031");
    EXPECT_EQ(image["width"].toInt(), 8);
    EXPECT_EQ(image["height"].toInt(), 2);
    EXPECT_EQ(image["bytes"].toInt(), 23);
    EXPECT_EQ(image["png"].toString(), "nv-3031.png");
    EXPECT_FALSE(image["time"].toString().isEmpty());
    const QJsonArray prints = index["prints"].toArray();
    ASSERT_EQ(prints.size(), 2);
    EXPECT_EQ(prints[0].toObject()["image"].toString(), "01");
    EXPECT_EQ(prints[0].toObject()["scaleX"].toInt(), 2);
    EXPECT_EQ(prints[0].toObject()["png"].toString(), "print-000001.png");
    EXPECT_FALSE(prints[1].toObject()["stored"].toBool());
    EXPECT_EQ(prints[1].toObject()["png"].toString(), "");
    const QJsonArray refused = index["refused"].toArray();
    ASSERT_EQ(refused.size(), 1);
    EXPECT_EQ(refused[0].toObject()["command"].toString(), "GS 8 L");
    EXPECT_TRUE(refused[0].toObject()["reason"].toString().contains("do not fit"));
    const QJsonObject counters = index["counters"].toObject();
    EXPECT_EQ(counters["bytesReceived"].toInteger(), h.core->Counters().bytesReceived);
    EXPECT_EQ(counters["commandsRefused"].toInteger(), 1);

    // Deleting removes the rendering; the print's stays.
    h.Feed(Hex("1D 28 4C 05 00 30 41 43 4C 52"));
    h.core->FlushOutput(true);
    EXPECT_FALSE(QFile::exists(dir.Path("out/nv-3031.png")));
    EXPECT_TRUE(QFile::exists(dir.Path("out/print-000001.png")));
    EXPECT_TRUE(ReadIndex(dir)["stored"].toArray().isEmpty());
}

TEST(SimOutput, PrintsAreDrawnAtTheirSizeOnPaper)
{
    struct Case {
        PrinterKind kind;
        QByteArray stream;
        QStringList rows;
        QString header;
    };
    const Case cases[] = {
        // Single-density impact dots are two units wide and high.
        {PrinterKind::DotMode, DotDefine({Hex("1B 72 00 1B 2A 00 02 00 80 00 0D 1B 72 01 1B 2A 00 02 00 00 80 1B 4A 10")}) + Hex("1B 67 01"),
         {"KKRR", "KKRR", "....", "....", "....", "....", "....", "....", "....", "....", "....", "....", "....",
          "....", "....", "...."}, {}},
        // FS p mode 2 doubles the height; the header block is kept with the print.
        {PrinterKind::Mono, Hex("1C 71 01") + MonoRecordOf(8, 1, {{0, 0}, {7, 0}})
             + QByteArray("----- Logo : 1 -----\n") + QByteArray(9, '\0') + Hex("1C 70 01 02"),
         {"K......K", "K......K", "........", "........", "........", "........", "........", "........", "........",
          "........", "........", "........", "........", "........", "........", "........"},
         "----- Logo : 1 -----"},
    };
    for (const Case& c : cases) {
        CTestDir dir;
        CoreHarness h(c.kind, InFolders(dir));
        h.Feed(c.stream);
        h.core->FlushOutput(true);
        EXPECT_EQ(PngRows(dir.Path("out/print-000001.png")), c.rows) << SimKindName(c.kind).toStdString();
        const QJsonArray prints = ReadIndex(dir)["prints"].toArray();
        ASSERT_EQ(prints.size(), 1);
        EXPECT_EQ(prints[0].toObject()["header"].toString(), c.header);
    }
}

TEST(SimOutput, PrintNumbersContinueAfterAnEarlierRun)
{
    CTestDir dir;
    {
        CoreHarness h(PrinterKind::DotMode, InFolders(dir));
        h.Feed(DotDefine({Hex(kDotExample)}) + Hex("1B 67 01 1B 67 01"));
    }
    CoreHarness h(PrinterKind::DotMode, InFolders(dir));
    h.Feed(Hex("1B 67 01"));
    ASSERT_EQ(h.core->Prints().size(), 1u);
    EXPECT_EQ(h.core->Prints()[0].png, "print-000003.png");
    EXPECT_TRUE(QFile::exists(dir.Path("out/nv-001.png")));
}

TEST(SimOutput, AnImageWiderThanThePaperIsDrawnCutAndMarked)
{
    CTestDir dir;
    SimOptions options = InFolders(dir);
    options.printableWidth = 16;
    CoreHarness h(PrinterKind::TwoColor, options);
    // 24 dots wide; printed at double width it is wider still.
    h.Feed(TwoColorDefine('0', '1', 24, 2, {{0, 0}, {23, 1}}) + TwoColorDefine('0', '2', 8, 1)
           + Hex("1D 28 4C 06 00 30 45 30 31 01 01") + Hex("1D 28 4C 06 00 30 45 30 32 02 01"));
    const std::vector<SimStoredImage> stored = h.core->StoredImages();
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_TRUE(stored[0].clipped);
    EXPECT_EQ(stored[0].dots.Width(), 24);  // the memory keeps the whole image
    EXPECT_FALSE(stored[1].clipped);
    EXPECT_EQ(QImage(dir.Path("out/nv-3031.png")).width(), 16);
    const std::vector<SimPrint> prints = h.core->Prints();
    ASSERT_EQ(prints.size(), 2u);
    EXPECT_TRUE(prints[0].clipped);
    EXPECT_FALSE(prints[1].clipped);  // 8 dots at double width: exactly the paper

    h.core->FlushOutput(true);
    const QJsonObject index = ReadIndex(dir);
    EXPECT_EQ(index["printableWidth"].toInt(), 16);
    EXPECT_TRUE(index["stored"].toArray()[0].toObject()["clipped"].toBool());
    EXPECT_FALSE(index["stored"].toArray()[1].toObject().contains("clipped"));
    EXPECT_TRUE(index["prints"].toArray()[0].toObject()["clipped"].toBool());
    int notes = 0;
    for (const SimLogEntry& entry : h.core->CommandLog())
        notes += entry.text.contains("wider than the printable 16 dots") ? 1 : 0;
    EXPECT_EQ(notes, 2);  // the define and the print
}

}  // namespace
