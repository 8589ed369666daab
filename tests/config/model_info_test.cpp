#include "config/model_info.h"
#include "operations/printer_kind_table.h"

#include "config/config_test_files.h"
#include "config/model_file.h"
#include "config/profile_file.h"
#include "support/temp_dir.h"
#include "support/test_names.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

// The expected entry with MODELTYPE as its number.
struct ExpectedEntry {
    QString modelName;
    int interfaceMask;
    int modelType;
    int receiptWidth;
    int downMax;
    int memorySize;

    operator ModelInfo() const  // NOLINT: the entry it describes
    {
        return {modelName, interfaceMask, CModelType::FromNumber(modelType), receiptWidth, downMax, memorySize};
    }
};

struct EntryCase {
    const char* value;
    ExpectedEntry expected;
};

void PrintTo(const EntryCase& c, std::ostream* os)
{
    *os << '"' << c.value << '"';
}

class ModelInfoParse : public ::testing::TestWithParam<EntryCase> {};

TEST_P(ModelInfoParse, ReadsNameAndFixedPositionNumbers)
{
    EXPECT_EQ(ParseModelEntry(QString::fromLatin1(GetParam().value)), ModelInfo(GetParam().expected)) << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ModelInfoParse,
    ::testing::Values(
        EntryCase{"ABC,015,001,576,050,384", {"ABC", 15, 1, 576, 50, 384}},
        EntryCase{"TX-200,015,002,576,050,384", {"TX-200", 15, 2, 576, 50, 384}},
        EntryCase{"NoComma", {"NoComma", 0, 0, 0, 0, 0}},
        EntryCase{"Name With Spaces ,001,000,200,010,064", {"Name With Spaces ", 1, 0, 200, 10, 64}},
        EntryCase{",015,001,576,050,384", {"", 15, 1, 576, 50, 384}},
        // Missing numbers read as 0.
        EntryCase{"ABC,015,001,576", {"ABC", 15, 1, 576, 0, 0}},
        EntryCase{"ABC,", {"ABC", 0, 0, 0, 0, 0}},
        // A field cut short by the end of the value reads the digits it has.
        EntryCase{"ABC,015,001,576,050,38", {"ABC", 15, 1, 576, 50, 38}},
        EntryCase{"ABC,015,001,576,050,3", {"ABC", 15, 1, 576, 50, 3}},
        // Fields are taken at their positions, not split at commas: "1,2"
        // reads 1 and the next field starts four characters on.
        EntryCase{"X,1,2,3", {"X", 1, 3, 0, 0, 0}},
        EntryCase{"ABC,15,1,576,50,384", {"ABC", 15, 0, 0, 384, 0}},
        // Only three characters count, and text after the last field is ignored.
        EntryCase{"ABC,0151,001,576,050,384", {"ABC", 15, 0, 0, 0, 0}},
        EntryCase{"ABC,015,001,576,050,3841 extra", {"ABC", 15, 1, 576, 50, 384}},
        EntryCase{"ABC,-01,x01,576,050,384", {"ABC", -1, 0, 576, 50, 384}},
        // A second comma in the name shifts every field out of place.
        EntryCase{"A,B,015,001,576,050", {"A", 0, 5, 1, 6, 0}}),
    [](const ::testing::TestParamInfo<EntryCase>& testInfo) { return TestNameFrom(testInfo.param.value); });

TEST(ModelInfoText, KindsAndTheirTexts)
{
    EXPECT_EQ(ModelTypeText(PrinterKind::DotMode), "DOT MODE");
    EXPECT_EQ(ModelTypeText(PrinterKind::Mono), "1 Color thermal");
    EXPECT_EQ(ModelTypeText(PrinterKind::TwoColor), "2 Color thermal");
    for (const int other : {3, 5, 7, -1, 1000})
        EXPECT_EQ(ModelTypeText(CModelType::FromNumber(other)), "1 Color thermal") << other;
}

TEST(ModelInfoCatalogue, EndsAtTheFirstMissingKey)
{
    CTestDir dir;
    const QString path = dir.Path("NV.inf");
    WriteFileBytes(path,
                   "[PRINTERLIST]\n"
                   "PRINTER01=TX-100,015,001,512,050,256\n"
                   "PRINTER03=TX-300,015,001,512,050,256\n");
    const std::vector<ModelInfo> models = ReadModelCatalogue(CProfileFile(path));
    ASSERT_EQ(models.size(), 1u);
    EXPECT_EQ(models[0], ModelInfo(ExpectedEntry{"TX-100", 15, 1, 512, 50, 256}));
}

TEST(ModelInfoCatalogue, EndsAtTheFirstEmptyKeyAndIgnoresKeyCaseAndOrder)
{
    CTestDir dir;
    const QString path = dir.Path("NV.inf");
    WriteFileBytes(path,
                   "[printerlist]\n"
                   "printer02=B,001,000,200,010,064\n"
                   "Printer01=A,015,002,576,050,384\n"
                   "PRINTER03=\n"
                   "PRINTER04=D,001,000,200,010,064\n");
    const std::vector<ModelInfo> models = ReadModelCatalogue(CProfileFile(path));
    ASSERT_EQ(models.size(), 2u);
    EXPECT_EQ(models[0].modelName, "A");
    EXPECT_EQ(models[1].modelName, "B");
}

TEST(ModelInfoCatalogue, HoldsAtMost49Models)
{
    CTestDir dir;
    const QString path = dir.Path("NV.inf");
    QByteArray text = "[PRINTERLIST]\n";
    for (int i = 1; i <= 60; ++i)
        text += QString::asprintf("PRINTER%02d=M%d,001,001,512,050,256\n", i, i).toLatin1();
    WriteFileBytes(path, text);
    const std::vector<ModelInfo> models = ReadModelCatalogue(CProfileFile(path));
    ASSERT_EQ(models.size(), 49u);
    EXPECT_EQ(models.back().modelName, "M49");
}

TEST(ModelInfoCatalogue, MissingFileGivesAnEmptyCatalogue)
{
    CTestDir dir;
    EXPECT_TRUE(ReadModelCatalogue(CProfileFile(dir.Path("absent.inf"))).empty());
}

TEST(ModelInfoFind, FirstExactMatch)
{
    const std::vector<ModelInfo> models{
        ExpectedEntry{"TX-100", 1, 1, 512, 50, 256},
        ExpectedEntry{"TX-200", 15, 2, 576, 50, 384},
        ExpectedEntry{"TX-100", 15, 1, 576, 20, 128},
    };
    const ModelInfo* found = FindModelByName(models, "TX-100");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found, &models[0]);
    EXPECT_EQ(FindModelByName(models, "TX-200"), &models[1]);
    EXPECT_EQ(FindModelByName(models, "tx-200"), nullptr);  // case counts
    EXPECT_EQ(FindModelByName(models, "TX-200 "), nullptr);
    EXPECT_EQ(FindModelByName(models, ""), nullptr);
    EXPECT_EQ(FindModelByName({}, "TX-100"), nullptr);
}

// The sample shipped beside the programs must be a working model file.
TEST(ModelInfoSample, CatalogueHoldsTheCurrentModelAndEveryKind)
{
    const QString path = QStringLiteral(MARKOGRAPH_SAMPLES_DIR "/NV.inf");
    ASSERT_TRUE(QFile::exists(path)) << path.toStdString();
    const CProfileFile file(path);
    EXPECT_EQ(ReadDescription(file), "Markograph ver 3.1.1");

    const std::vector<ModelInfo> models = ReadModelCatalogue(file);
    ASSERT_GE(models.size(), 4u);
    const ModelInfo* tx100 = FindModelByName(models, "TX-100");
    const ModelInfo* tx200 = FindModelByName(models, "TX-200");
    const ModelInfo* dx300 = FindModelByName(models, "DX-300");
    const ModelInfo* dx400 = FindModelByName(models, "DX-400");
    ASSERT_TRUE(tx100 && tx200 && dx300 && dx400);
    EXPECT_EQ(tx100->modelType, PrinterKind::Mono);
    EXPECT_EQ(tx200->modelType, PrinterKind::TwoColor);
    EXPECT_EQ(tx200->receiptWidth, 576);
    EXPECT_EQ(dx300->modelType, PrinterKind::DotMode);

    // COMMON describes the current model exactly as its catalogue entry does.
    const ModelInfo* current = FindModelByName(models, file.ReadString(kSectionCommon, kKeyModelName));
    ASSERT_EQ(current, tx100);
    EXPECT_EQ(file.ReadInt(kSectionCommon, kKeyModelType, -1), current->modelType.Number());
    EXPECT_EQ(file.ReadInt(kSectionCommon, kKeyReceiptWidth, -1), current->receiptWidth);
    EXPECT_EQ(file.ReadInt(kSectionCommon, kKeyMemorySize, -1), current->memorySize);
    EXPECT_EQ(file.ReadInt(kSectionCommon, kKeyDownMax, -1), current->downMax);

    // Every entry has the exact fixed-width layout and offers some interface.
    const QRegularExpression layout(QStringLiteral("^[^,]+,\\d{3},\\d{3},\\d{3},\\d{3},\\d{3}$"));
    for (size_t i = 0; i < models.size(); ++i) {
        const QString value = file.ReadString(kSectionPrinterList, QString::asprintf("PRINTER%02d", int(i) + 1));
        EXPECT_TRUE(layout.match(value).hasMatch()) << value.toStdString();
        EXPECT_NE(models[i].interfaceMask & 15, 0) << value.toStdString();
        EXPECT_GT(models[i].downMax, 0) << value.toStdString();
    }
}

}  // namespace
