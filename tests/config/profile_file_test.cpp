#include "config/profile_file.h"

#include "config/config_test_files.h"
#include "support/file_size_limit.h"
#include "support/read_only_folder.h"
#include "support/temp_dir.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <climits>
#include <sys/stat.h>
#include <iterator>

namespace {

// A file with a bit of everything the reader has to cope with.
const QByteArray kMixedFile =
    "; leading comment\n"
    "orphan=before any section\n"
    "[Common]\n"
    "  Name  =  TX-100  \n"
    "# hash comment=1\n"
    "; Name=commented out\n"
    "Name=second occurrence\n"
    "NoEquals\n"
    "Empty=\n"
    "Blanks=   \t\n"
    "Spaced Key = a b  c\n"
    "Inline=1 ; not a comment\n"
    "\n"
    "[ common ]\n"
    "Later=in a duplicated section\n"
    "[Broken\n"
    "Still=common? no, the section above\n"
    "[COMMUNICATION] trailing text\n"
    "INTERFACE=3\n";

TEST(ProfileFileRead, FollowsTheNamingAndLineRules)
{
    CTestDir dir;
    const QString path = dir.Path("NV.inf");
    WriteFileBytes(path, kMixedFile);
    const CProfileFile file(path);

    struct Case {
        const char* section;
        const char* key;
        const char* expected;
    };
    const Case cases[] = {
        {"Common", "Name", "TX-100"},            // trimmed; the first occurrence wins
        {"COMMON", "NAME", "TX-100"},            // names ignore case
        {"  common ", " name ", "TX-100"},       // and surrounding blanks
        {"Common", "Spaced Key", "a b  c"},      // inner blanks stay
        {"Common", "Inline", "1 ; not a comment"},
        {"Common", "NoEquals", ""},              // not a key
        {"Common", "Empty", ""},
        {"Common", "Blanks", ""},
        {"Common", "orphan", ""},                // keys before any section belong to none
        {"Common", "hash comment", ""},
        {"Common", "Later", ""},                 // only the first [common] is searched
        {"Common", "Still", ""},                 // "[Broken" is no header: still the duplicated section
        {"COMMUNICATION", "INTERFACE", "3"},     // text after ']' is ignored
        {"Missing", "Name", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(file.ReadString(c.section, c.key), QString::fromLatin1(c.expected)) << c.section << "/" << c.key;

    // The default only stands in for missing and empty values.
    EXPECT_EQ(file.ReadString("Common", "Empty", "dflt"), "dflt");
    EXPECT_EQ(file.ReadString("Common", "Missing", "dflt"), "dflt");
    EXPECT_EQ(file.ReadString("Common", "Name", "dflt"), "TX-100");
}

TEST(ProfileFileRead, KeyInLaterLinesOfTheFirstSectionIsFoundAfterAnIgnoredBracketLine)
{
    // Documents the rule the table above relies on: "[Broken" does not start a
    // section, so "Still" belongs to the section before it.
    CTestDir dir;
    const QString path = dir.Path("NV.inf");
    WriteFileBytes(path, "[A]\n[Broken\nStill=yes\n");
    EXPECT_EQ(CProfileFile(path).ReadString("A", "Still"), "yes");
}

TEST(ProfileFileRead, IntegersTakeTheLeadingDecimalNumber)
{
    struct Case {
        const char* value;
        int expected;
    };
    const Case cases[] = {
        {"42", 42},
        {"-7", -7},
        {"+7", 7},
        {"  15  ", 15},
        {"12abc", 12},
        {"019200", 19200},
        {"abc", 0},                  // not a number: 0, as Win32
        {"0x10", 0},                 // decimal only
        {"-", 0},
        {"- 5", 0},
        {"2147483647", INT_MAX},
        {"2147483648", INT_MAX},     // clamped, not wrapped
        {"99999999999999999999", INT_MAX},
        {"-2147483648", INT_MIN},
        {"-99999999999999999999", INT_MIN},
        {"", -99},                   // empty counts as missing: the default
        {"   ", -99},
    };
    CTestDir dir;
    const QString path = dir.Path("NV.inf");
    QByteArray text = "[S]\n";
    for (size_t i = 0; i < std::size(cases); ++i)
        text += "K" + QByteArray::number(static_cast<int>(i)) + "=" + cases[i].value + "\n";
    WriteFileBytes(path, text);
    const CProfileFile file(path);
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(file.ReadInt("S", "K" + QString::number(i), -99), cases[i].expected)
            << "value \"" << cases[i].value << "\"";
    }
    EXPECT_EQ(file.ReadInt("S", "Missing", 19200), 19200);
    EXPECT_EQ(file.ReadInt("Missing", "K0", 8), 8);
}

TEST(ProfileFileRead, ParseLeadingIntReadsLikeAtoi)
{
    EXPECT_EQ(CProfileFile::ParseLeadingInt(u" 12"), 12);
    EXPECT_EQ(CProfileFile::ParseLeadingInt(u"\t-3x"), -3);
    EXPECT_EQ(CProfileFile::ParseLeadingInt(u""), 0);
    EXPECT_EQ(CProfileFile::ParseLeadingInt(u"1,2"), 1);
}

TEST(ProfileFileRead, StringsAreCutAt255Characters)
{
    CTestDir dir;
    const QString path = dir.Path("NV.inf");
    const QByteArray exact(255, 'a');
    const QByteArray longer = QByteArray(255, 'b') + "TAIL";
    WriteFileBytes(path, "[S]\nExact=" + exact + "\nLonger=" + longer + "\n");
    const CProfileFile file(path);
    EXPECT_EQ(file.ReadString("S", "Exact"), QString::fromLatin1(exact));
    EXPECT_EQ(file.ReadString("S", "Longer"), QString::fromLatin1(QByteArray(255, 'b')));
}

TEST(ProfileFileRead, EveryByteReadsAsOneLatin1Character)
{
    CTestDir dir;
    const QString path = dir.Path("NV.inf");
    WriteFileBytes(path, "[S]\nName=caf\xE9 \xA0\xFF\x01z\n");
    // 0xA0 (no-break space in Latin-1) is not a blank: it stays.
    EXPECT_EQ(CProfileFile(path).ReadString("S", "Name"), QString::fromLatin1("caf\xE9 \xA0\xFF\x01z"));
}

TEST(ProfileFileRead, MissingFileReadsDefaultsAndSucceeds)
{
    CTestDir dir;
    CProfileFile file(dir.Path("absent.inf"));
    EXPECT_EQ(file.ReadString("COMMON", "ModelName"), "");
    EXPECT_EQ(file.ReadInt("COMMUNICATION", "BAUDRATE", 19200), 19200);
    QString error;
    EXPECT_TRUE(file.Reload(&error));
    EXPECT_TRUE(error.isEmpty());
}

TEST(ProfileFileRead, ByteOrderMarkIsNotPartOfTheFirstSectionName)
{
    CTestDir dir;
    const QString path = dir.Path("NV.inf");
    WriteFileBytes(path, "\xEF\xBB\xBF[COMMON]\r\nModelName=TX-100\r\n");
    EXPECT_EQ(CProfileFile(path).ReadString("COMMON", "ModelName"), "TX-100");
}

TEST(ProfileFileRead, ReloadSeesChangesMadeByOthers)
{
    CTestDir dir;
    const QString path = dir.Path("NV.inf");
    WriteFileBytes(path, "[S]\nK=1\n");
    CProfileFile file(path);
    WriteFileBytes(path, "[S]\nK=2\n");
    EXPECT_EQ(file.ReadInt("S", "K", 0), 1);  // read once, until told otherwise
    EXPECT_TRUE(file.Reload());
    EXPECT_EQ(file.ReadInt("S", "K", 0), 2);
}

TEST(ProfileFileRead, UnreadablePathReadsEmptyAndIsNeverOverwritten)
{
    CTestDir dir;
    const QString path = dir.Path("NV.inf");
    ASSERT_TRUE(QDir(dir.Root()).mkdir("NV.inf"));  // a folder where the file should be
    CProfileFile file(path);
    QString error;
    EXPECT_FALSE(file.Reload(&error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(file.ReadInt("S", "K", 5), 5);
    EXPECT_FALSE(file.WriteInt("S", "K", 1, &error));
    EXPECT_TRUE(QFileInfo(path).isDir());
}

// --- writes -------------------------------------------------------------

struct WriteCase {
    const char* name;
    QByteArray before;
    const char* section;
    const char* key;
    const char* value;
    QByteArray after;
};

void PrintTo(const WriteCase& c, std::ostream* os)
{
    *os << c.name;
}

class ProfileFileWrite : public ::testing::TestWithParam<WriteCase> {};

TEST_P(ProfileFileWrite, ChangesOnlyWhatItMust)
{
    const WriteCase& c = GetParam();
    CTestDir dir;
    const QString path = dir.Path("NV.inf");
    if (!c.before.isNull())
        WriteFileBytes(path, c.before);
    CProfileFile file(path);
    QString error;
    const QString value = QString::fromLatin1(c.value);
    ASSERT_TRUE(file.WriteString(c.section, c.key, value, &error)) << error.toStdString();
    EXPECT_EQ(ReadFileBytes(path), c.after);
    // What was written reads back, from memory and from the disk.
    EXPECT_EQ(file.ReadString(c.section, c.key), value);
    EXPECT_EQ(CProfileFile(path).ReadString(c.section, c.key), value);
    // No temporary file is left behind.
    EXPECT_EQ(QDir(dir.Root()).entryList(QDir::Files | QDir::Hidden), QStringList{"NV.inf"});
}

const QByteArray kCrlfFile =
    "; Markograph model file\r\n"
    "\r\n"
    "[COMMON]\r\n"
    "DESCRIPTION=Markograph ver 3.1.1\r\n"
    "ModelName=TX-100\r\n"
    "ModelType=1\r\n"
    "VENDORNOTE=kept as it is\r\n"
    "\r\n"
    "; the catalogue\r\n"
    "[PRINTERLIST]\r\n"
    "PRINTER01=TX-100,015,001,512,050,256\r\n"
    "\r\n"
    "[COMMUNICATION]\r\n"
    "INTERFACE=3\r\n"
    "PORT = 9100\r\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileFileWrite,
    ::testing::Values(
        WriteCase{"ExistingKeyKeepsItsSpellingAndEverythingElse", kCrlfFile, "common", "MODELTYPE", "2",
                  QByteArray(kCrlfFile).replace("ModelType=1", "ModelType=2")},
        WriteCase{"BlanksAfterTheEqualsSignStay", kCrlfFile, "COMMUNICATION", "PORT", "9101",
                  QByteArray(kCrlfFile).replace("PORT = 9100", "PORT = 9101")},
        WriteCase{"MissingKeyGoesAfterTheLastKeyOfItsSection", kCrlfFile, "COMMON", "RECEIPTWIDTH", "576",
                  QByteArray(kCrlfFile).replace("kept as it is\r\n", "kept as it is\r\nRECEIPTWIDTH=576\r\n")},
        WriteCase{"MissingKeyInTheLastSection", kCrlfFile, "COMMUNICATION", "IP1", "192",
                  kCrlfFile + "IP1=192\r\n"},
        WriteCase{"MissingSectionGoesAtTheEndAfterABlankLine", kCrlfFile, "EXTRA", "Key", "v",
                  kCrlfFile + "\r\n[EXTRA]\r\nKey=v\r\n"},
        WriteCase{"LfFileStaysLf", "[S]\nA=1\n\n[T]\nB=2\n", "S", "C", "3", "[S]\nA=1\nC=3\n\n[T]\nB=2\n"},
        WriteCase{"SectionWithoutKeys", "[S]\n; about S\n[T]\n", "S", "K", "v", "[S]\nK=v\n; about S\n[T]\n"},
        WriteCase{"LastLineWithoutLineBreak", "[S]\r\nA=1", "S", "B", "2", "[S]\r\nA=1\r\nB=2\r\n"},
        WriteCase{"HeaderAsLastLineWithoutLineBreak", "[S]", "S", "B", "2", "[S]\nB=2\n"},
        WriteCase{"NewSectionAfterTrailingBlankLine", "[S]\nA=1\n\n", "T", "B", "2", "[S]\nA=1\n\n[T]\nB=2\n"},
        WriteCase{"MissingFileIsCreated", QByteArray(), "COMMON", "ModelName", "TX-200",
                  "[COMMON]\nModelName=TX-200\n"},
        WriteCase{"EmptyFile", QByteArray(""), "COMMON", "ModelName", "TX-200", "[COMMON]\nModelName=TX-200\n"},
        WriteCase{"EmptyValueReplacedInPlace", "[S]\nK=\nL=1\n", "S", "K", "x", "[S]\nK=x\nL=1\n"},
        WriteCase{"FirstOfDuplicateKeysIsWritten", "[S]\nK=1\nK=2\n", "S", "k", "3", "[S]\nK=3\nK=2\n"},
        WriteCase{"OtherBytesSurvive", "\xEF\xBB\xBF[S]\nName=caf\xE9\xFF\nK=1\n", "S", "K", "2",
                  "\xEF\xBB\xBF[S]\nName=caf\xE9\xFF\nK=2\n"},
        WriteCase{"Latin1ValueIsWrittenAsOneByte", "[S]\n", "S", "Name", "caf\xE9", "[S]\nName=caf\xE9\n"}),
    [](const ::testing::TestParamInfo<WriteCase>& param) { return std::string(param.param.name); });

TEST(ProfileFileWriteInt, WritesDecimalText)
{
    CTestDir dir;
    const QString path = dir.Path("NV.inf");
    CProfileFile file(path);
    ASSERT_TRUE(file.WriteInt("S", "A", -5));
    ASSERT_TRUE(file.WriteInt("S", "B", INT_MAX));
    EXPECT_EQ(ReadFileBytes(path), "[S]\nA=-5\nB=2147483647\n");
}

TEST(ProfileFileWriteFailure, ReadOnlyFolderLeavesFileAndMemoryUnchanged)
{
    CTestDir dir;
    const QString path = dir.Path("NV.inf");
    const QByteArray before = "; keep me\n[COMMUNICATION]\nINTERFACE=0\n";
    WriteFileBytes(path, before);
    CProfileFile file(path);

    CReadOnlyFolder readOnly(dir.Root());
    bool written = true;
    QString error;
    QString whyNot;
    ASSERT_TRUE(readOnly.Run([&] { written = file.WriteInt("COMMUNICATION", "INTERFACE", 3, &error); }, &whyNot))
        << "cannot make the folder read-only for the test: " << whyNot.toStdString();
    EXPECT_FALSE(written);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(error.contains(path)) << error.toStdString();
    EXPECT_EQ(ReadFileBytes(path), before);
    EXPECT_EQ(file.ReadInt("COMMUNICATION", "INTERFACE", -1), 0);
    EXPECT_EQ(QDir(dir.Root()).entryList(QDir::Files | QDir::Hidden), QStringList{"NV.inf"});
}

TEST(ProfileFileWriteFailure, ReadOnlyFileKeepsItsValues)
{
    CTestDir dir;
    const QString path = dir.Path("NV.inf");
    const QByteArray before = "[COMMUNICATION]\nINTERFACE=0\n";
    WriteFileBytes(path, before);
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
    CProfileFile file(path);
    QString error;
    EXPECT_FALSE(file.WriteInt("COMMUNICATION", "INTERFACE", 3, &error));
    EXPECT_TRUE(error.contains("read-only")) << error.toStdString();
    EXPECT_EQ(ReadFileBytes(path), before);
    EXPECT_EQ(file.ReadInt("COMMUNICATION", "INTERFACE", -1), 0);
}

TEST(ProfileFileWriteFailure, FullDiskLeavesNoHalfWrittenFile)
{
    CTestDir dir;
    const QString path = dir.Path("NV.inf");
    const QByteArray before = "[COMMON]\nDESCRIPTION=" + QByteArray(200, 'd') + "\nModelName=TX-100\n";
    WriteFileBytes(path, before);
    CProfileFile file(path);
    bool written = true;
    QString error;
    {
        const CFileSizeLimit disk(100);  // the new file stops growing half-way
        written = file.WriteString("COMMON", "ModelName", "TX-200", &error);
    }
    EXPECT_FALSE(written);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(ReadFileBytes(path), before);
    EXPECT_EQ(file.ReadString("COMMON", "ModelName"), "TX-100");
    EXPECT_EQ(QDir(dir.Root()).entryList(QDir::Files | QDir::Hidden), QStringList{"NV.inf"});
}

TEST(ProfileFileWriteFailure, MissingFolderFailsWithAReason)
{
    CTestDir dir;
    const QString path = dir.Path("no/such/folder/NV.inf");
    CProfileFile file(path);
    QString error;
    EXPECT_FALSE(file.WriteString("COMMON", "ModelName", "TX-100", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(file.ReadString("COMMON", "ModelName"), "");
}

TEST(ProfileFileWriteFailure, RefusesWhatWouldNotReadBack)
{
    struct Case {
        QString section;
        QString key;
        QString value;
    };
    const Case cases[] = {
        {"", "K", "v"},
        {"  ", "K", "v"},
        {"S]", "K", "v"},
        {"S", "", "v"},
        {"S", "A=B", "v"},
        {"S", "[K", "v"},
        {"S", ";K", "v"},
        {"S", "#K", "v"},
        {"S", "K\nX", "v"},
        {"S\r", "K", "v"},
        {"S", "K", "two\nlines"},
        {"S", "K", "cr\r"},
        {"S", "K", QString::fromUtf8("\xE2\x82\xAC")},  // the euro sign: not 8-bit text
        {QString::fromUtf8("\xE2\x82\xAC"), "K", "v"},
    };
    CTestDir dir;
    const QString path = dir.Path("NV.inf");
    const QByteArray before = "[S]\nK=old\n";
    WriteFileBytes(path, before);
    CProfileFile file(path);
    for (const Case& c : cases) {
        QString error;
        EXPECT_FALSE(file.WriteString(c.section, c.key, c.value, &error))
            << c.section.toStdString() << "/" << c.key.toStdString();
        EXPECT_FALSE(error.isEmpty());
    }
    EXPECT_EQ(ReadFileBytes(path), before);
    EXPECT_EQ(file.ReadString("S", "K"), "old");
}

}  // namespace

TEST(ProfileFileWriteStrings, AppliesEveryKeyInOrderAndReplacesTheFileOnce)
{
    CTestDir dir;
    const QString path = dir.Path("NV.inf");
    WriteFileBytes(path, "[COMMON]\r\nModelName=TX-100\r\n; note\r\n");
    CProfileFile file(path);
    ASSERT_TRUE(file.WriteStrings({{"COMMON", "ModelName", "DX-300"},
                                   {"COMMON", "ModelType", "0"},
                                   {"COMMUNICATION", "INTERFACE", "0"},
                                   {"COMMUNICATION", "PORTNAME", "COM1"},
                                   {"common", "modeltype", "2"}}));  // a later write of one key wins
    EXPECT_EQ(ReadFileBytes(path), "[COMMON]\r\nModelName=DX-300\r\nModelType=2\r\n; note\r\n\r\n"
                                   "[COMMUNICATION]\r\nINTERFACE=0\r\nPORTNAME=COM1\r\n");
    EXPECT_EQ(file.ReadString("COMMUNICATION", "PORTNAME"), "COM1");
}

TEST(ProfileFileWriteStrings, OneRefusedOrFailedWriteLeavesEveryKeyAsItWas)
{
    CTestDir dir;
    const QString path = dir.Path("NV.inf");
    const QByteArray before = "[COMMON]\nModelName=TX-100\nDOWNMAX=5\n";
    WriteFileBytes(path, before);
    CProfileFile file(path);
    QString error;
    EXPECT_FALSE(file.WriteStrings({{"COMMON", "ModelName", "TX-200"}, {"COMMON", "A=B", "x"}}, &error));
    EXPECT_TRUE(error.contains("holds '='")) << error.toStdString();
    bool written = true;
    {
        // The new file is one byte longer than the limit allows.
        const CFileSizeLimit disk(static_cast<rlim_t>(before.size()));
        written = file.WriteStrings({{"COMMON", "ModelName", "TX-200"}, {"COMMON", "DOWNMAX", "50"}}, &error);
    }
    EXPECT_FALSE(written);
    EXPECT_TRUE(error.contains("File too large")) << error.toStdString();
    EXPECT_EQ(ReadFileBytes(path), before);
    EXPECT_EQ(file.ReadString("COMMON", "ModelName"), "TX-100");
    EXPECT_EQ(QDir(dir.Root()).entryList(QDir::Files | QDir::Hidden), QStringList{"NV.inf"});
}

TEST(ProfileFileRead, AFifoOrFolderIsRefusedAtOnceAndNeverOverwritten)
{
    CTestDir dir;
    const QString fifo = dir.Path("NV.inf");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString& path : {fifo, dir.Root()}) {
        CProfileFile file(path);  // would wait for a writer if the FIFO were opened for reading
        QString error;
        EXPECT_FALSE(file.Reload(&error));
        EXPECT_TRUE(error.startsWith("cannot read " + path + ": it is a")) << error.toStdString();
        EXPECT_FALSE(file.WriteString("COMMON", "ModelName", "TX-100", &error));
    }
    EXPECT_TRUE(QFileInfo(fifo).exists() && !QFileInfo(fifo).isFile());
}
