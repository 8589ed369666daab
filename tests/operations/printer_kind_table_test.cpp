#include "address/address_commands.h"
#include "operations/start_command.h"
#include "operations/download_list_builder.h"
#include "operations/printer_kind_table.h"
#include "print/print_commands.h"
#include "sim/sim_kind_table.h"
#include "sim/sim_options.h"
#include "sim/stream_decoder.h"

#include <gtest/gtest.h>

namespace {

QByteArray Hex(const char* text) { return QByteArray::fromHex(text); }

// What each kind's row must answer: the answers the kind chains gave.
struct KindCase {
    PrinterKind kind;
    int number;
    const char* text;
    const char* startFor3Items;  // hex; empty: no start command
    bool addressed;
    bool lengthTable;
    bool secondInk;
    int prepareDelayMs;
    OpenFailureText openFailure;
    const char* simName;
    char stateCode;  // the kind byte of the virtual printer's saved memory
    int printableWidth;
    QByteArray printCommand;  // the kind's print of image 3 / address "A1"
    SimCommandType decodedPrint;
    int decodedKey;
};

void PrintTo(const KindCase& c, std::ostream* out)
{
    *out << c.text;
}

const KindCase kCases[] = {
    {PrinterKind::DotMode, 0, "DOT MODE", "1B670002", false, true, true, 0, OpenFailureText::UploadAndPrint, "dot", 2,
     400, PrintDotImageCommand(3), SimCommandType::PrintNumbered, 3},
    {PrinterKind::Mono, 1, "1 Color thermal", "1C7103", false, false, false, kMonoPrepareMs,
     OpenFailureText::UploadAndPrint, "mono", 0, 576, PrintNvBitImageCommand(3, PrintSizeMode::Normal), SimCommandType::PrintNumbered, 3},
    {PrinterKind::TwoColor, 2, "2 Color thermal", "", true, false, true, 0, OpenFailureText::AddressDialogs,
     "two-color", 1, 576, PrintImageCommand({'A', '1'}), SimCommandType::PrintAddressed, 0x4131},
};

// Keeps what a decoder delivers.
class CRecordingSink : public CCommandSink {
public:
    qint64 RoomForNumbered() const override { return 1 << 20; }
    qint64 RoomForAddressed(int) const override { return 1 << 20; }
    void Execute(const SimCommand& command) override { commands.push_back(command); }
    void CountSkipped(qint64 bytes) override { skipped += bytes; }

    std::vector<SimCommand> commands;
    qint64 skipped = 0;
};

class PrinterKindRow : public ::testing::TestWithParam<KindCase> {};

TEST_P(PrinterKindRow, AnswersAsTheKindChainsDid)
{
    const KindCase& c = GetParam();
    EXPECT_EQ(PrinterKindNumber(c.kind), c.number);
    EXPECT_EQ(PrinterKindFromNumber(c.number), c.kind);

    const PrinterKindEntry& row = KindEntry(c.kind);
    EXPECT_EQ(row.kind, c.kind);
    EXPECT_EQ(ModelTypeText(c.kind), c.text);
    EXPECT_EQ(MakeStartCommand(c.kind, 3), Hex(c.startFor3Items));
    EXPECT_EQ(row.startCommand == nullptr, row.addressed) << "numbered kinds start a download, addressed ones do not";
    EXPECT_EQ(row.addressed, c.addressed);
    EXPECT_EQ(row.lengthTable, c.lengthTable);
    EXPECT_EQ(row.secondInk, c.secondInk);
    EXPECT_EQ(row.prepareDelayMs, c.prepareDelayMs);
    EXPECT_EQ(row.openFailure, c.openFailure);
    EXPECT_NE(row.buildRecord, nullptr);
    EXPECT_NE(row.print, nullptr);
}

TEST_P(PrinterKindRow, VirtualPrinterRowDecodesTheKindsOwnCommands)
{
    const KindCase& c = GetParam();
    const SimKindEntry& sim = SimKindEntryOf(c.kind);
    EXPECT_EQ(sim.kind, c.kind);
    EXPECT_EQ(SimKindName(c.kind), c.simName);
    EXPECT_EQ(ParseSimKind(c.simName), c.kind);
    EXPECT_EQ(sim.stateCode, c.stateCode);
    EXPECT_EQ(DefaultPrintableWidth(c.kind), c.printableWidth);
    ASSERT_NE(sim.decodeImage, nullptr);

    // The decoder of each kind takes its own print and ESC @, and treats the
    // other kinds' prints as bytes it does not know.
    for (const KindCase& other : kCases) {
        CRecordingSink sink;
        const std::unique_ptr<CStreamDecoder> decoder = sim.makeDecoder(sink);
        decoder->Feed(InitializeCommand() + other.printCommand);
        EXPECT_TRUE(decoder->IsIdle()) << other.text;
        ASSERT_FALSE(sink.commands.empty());
        EXPECT_EQ(sink.commands.front().type, SimCommandType::Initialise);
        if (other.kind == c.kind) {
            ASSERT_EQ(sink.commands.size(), 2u);
            EXPECT_EQ(sink.commands[1].type, c.decodedPrint);
            EXPECT_EQ(sink.commands[1].key, c.decodedKey);
            EXPECT_EQ(sink.skipped, 0);
        } else {
            EXPECT_EQ(sink.commands.size(), 1u) << other.text;
            EXPECT_GT(sink.skipped, 0) << other.text;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryKind, PrinterKindRow, ::testing::ValuesIn(kCases));

TEST(PrinterKindTable, RowsAreInKindOrder)
{
    ASSERT_EQ(kPrinterKinds.size(), std::size(kCases));
    for (size_t i = 0; i < kPrinterKinds.size(); ++i)
        EXPECT_EQ(kPrinterKinds[i], kCases[i].kind);
}

TEST(ModelType, KeepsAnUnknownNumberAndHasNoKindForIt)
{
    for (int number : {-1, 3, 7, 255}) {
        const CModelType type = CModelType::FromNumber(number);
        EXPECT_EQ(type.Number(), number);
        EXPECT_FALSE(type.Kind()) << number;
        EXPECT_EQ(KindEntry(type), nullptr) << number;
        EXPECT_EQ(ModelTypeText(type), "1 Color thermal") << number;  // shown as single-colour
    }
    for (const KindCase& c : kCases) {
        const CModelType type = CModelType::FromNumber(c.number);
        EXPECT_EQ(type, CModelType(c.kind));
        EXPECT_TRUE(type.Is(c.kind));
        EXPECT_EQ(KindEntry(type), &KindEntry(c.kind));
    }
    EXPECT_EQ(CModelType(), CModelType(PrinterKind::Mono));  // the window's default before a model is read
}

TEST(ModelType, UnknownKindConvertsNothing)
{
    LogoEntry logo;
    logo.name = QStringLiteral("logo.bmp");
    QString error;
    EXPECT_FALSE(BuildDownloadList(CModelType::FromNumber(3), {&logo}, DownloadBuildOptions{}, &error));
    EXPECT_EQ(error, "Not Support Printer");
}

TEST(DotDensity, NumbersAreTheResolutionChoices)
{
    EXPECT_EQ(DotDensityFromNumber(0), DotDensity::Single);
    EXPECT_EQ(DotDensityFromNumber(1), DotDensity::Double);
    EXPECT_EQ(DotDensityFromNumber(2), DotDensity::Quad);
    EXPECT_FALSE(DotDensityFromNumber(3));
    EXPECT_FALSE(DotDensityFromNumber(-1));
}

}  // namespace
