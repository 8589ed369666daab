#include "address/address_sequence.h"
#include "address/address_print_file.h"
#include "operations/download_print_file.h"
#include "operations/start_command.h"
#include "support/file_size_limit.h"
#include "support/temp_dir.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

QByteArray Hex(const char* text) { return QByteArray::fromHex(text); }

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// A define command of the two-colour form with key code 00 00 (19 bytes).
QByteArray EmptyDefineCommand()
{
    return Hex("1D384C0C000000" "304330" "0000" "02" "0000" "0000") + Hex("3132");
}

}  // namespace

TEST(StartCommand, CountsRecordsOrLogosInOneByte)
{
    EXPECT_EQ(MakeStartCommand(PrinterKind::Mono, 3), Hex("1C7103"));
    EXPECT_EQ(MakeStartCommand(PrinterKind::DotMode, 4), Hex("1B670003"));  // four items: the length table and three logos
    EXPECT_EQ(MakeStartCommand(PrinterKind::Mono, 256), Hex("1C7100"));
    EXPECT_EQ(MakeStartCommand(PrinterKind::DotMode, 257), Hex("1B670000"));
}

TEST(AddressSequence, RunsThroughFortyEightToSeventyEightBeforeCarrying)
{
    CAddressSequence sequence;
    std::vector<std::string> given;
    for (int i = 0; i < 157; ++i) {
        const auto a = sequence.Next();
        given.emplace_back(a.data(), 2);
    }
    EXPECT_EQ(given[0], "00");
    EXPECT_EQ(given[9], "09");
    EXPECT_EQ(given[10], "0:");
    EXPECT_EQ(given[77], "0}");
    EXPECT_EQ(given[78], "10");
    EXPECT_EQ(given[156], "20");
}

TEST(PrintFile, HoldsTheStartCommandAndItemsAndNothingElse)
{
    CTestDir dir;
    const QString path = dir.Path("mono.prn");
    const DownloadList items{{"a.bmp", Hex("0200010080808080808080808000000000000000")}};
    QString error;
    ASSERT_TRUE(SaveDownloadPrintFile(path, PrinterKind::Mono, items, &error)) << error.toStdString();
    EXPECT_EQ(ReadAll(path), Hex("1C7101") + items[0].data);
    EXPECT_EQ(ReadAll(path).size(), 23);

    // DOT MODE: 4 + 2n + the streams.
    const DownloadList dot{{"HeadCommnad", Hex("012C03E8")}, {"a", QByteArray(300, '\x11')}, {"b", QByteArray(1000, '\x22')}};
    ASSERT_TRUE(SaveDownloadPrintFile(path, PrinterKind::DotMode, dot, &error));
    const QByteArray bytes = ReadAll(path);
    EXPECT_EQ(bytes.size(), 1308);
    EXPECT_TRUE(bytes.startsWith(Hex("1B670002012C03E8")));
}

TEST(PrintFile, ReplacesAnExistingFileWhole)
{
    CTestDir dir;
    const QString path = dir.Path("old.prn");
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(5000, 'x'));
    }
    const DownloadList items{{"a.bmp", Hex("01000100FF000000000000000000000000")}};
    ASSERT_TRUE(SaveDownloadPrintFile(path, PrinterKind::Mono, items, nullptr));
    const QByteArray first = ReadAll(path);
    EXPECT_EQ(first, Hex("1C7101") + items[0].data);
    ASSERT_TRUE(SaveDownloadPrintFile(path, PrinterKind::Mono, items, nullptr));
    EXPECT_EQ(ReadAll(path), first);  // saving twice gives identical files
}

TEST(PrintFile, FailureIsReportedAndLeavesNoPartialFile)
{
    CTestDir dir;
    const DownloadList items{{"a.bmp", QByteArray(100, 'x')}};
    QString error;
    EXPECT_FALSE(SaveDownloadPrintFile(dir.Path("no/such/folder/a.prn"), PrinterKind::Mono, items, &error));
    EXPECT_TRUE(error.contains("no/such/folder/a.prn")) << error.toStdString();

    // A write that fails half-way (here: the process may write no file
    // larger than 1,000 bytes) keeps the file that was there.
    const QString path = dir.Path("kept.prn");
    {
        QFile kept(path);
        ASSERT_TRUE(kept.open(QIODevice::WriteOnly));
        kept.write("previous");
    }
    const DownloadList large{{"big.bmp", QByteArray(5000, 'x')}};
    bool saved = false;
    {
        CFileSizeLimit limit(1000);
        saved = SaveDownloadPrintFile(path, PrinterKind::Mono, large, &error);
    }
    EXPECT_FALSE(saved);
    EXPECT_EQ(ReadAll(path), "previous");
    EXPECT_EQ(QDir(dir.Root()).entryList(QDir::Files), QStringList({"kept.prn"}));
}

TEST(PrintFile, AddressedFileNumbersTheImagesFromZero)
{
    CTestDir dir;
    const QString path = dir.Path("two.prn");
    DownloadList items{{"a", EmptyDefineCommand()}, {"b", EmptyDefineCommand()}, {"c", EmptyDefineCommand()}};
    ASSERT_TRUE(SaveAddressedPrintFile(path, items, nullptr));
    const QByteArray bytes = ReadAll(path);
    ASSERT_EQ(bytes.size(), 3 * 19);
    EXPECT_EQ(bytes.mid(10, 2), "00");
    EXPECT_EQ(bytes.mid(19 + 10, 2), "01");
    EXPECT_EQ(bytes.mid(38 + 10, 2), "02");
    EXPECT_EQ(items[2].data.mid(10, 2), "02");  // the addresses stay in the items
}
