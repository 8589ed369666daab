#include "logos/registry_key.h"
#include "support/temp_dir.h"

#include <QFile>

#include <algorithm>

#include <gtest/gtest.h>

namespace {

const QString kKey = QStringLiteral("Software\\Quentar\\LogoKeeper\\Imagelist");
const char kValuesFile[] = "Software/Quentar/LogoKeeper/Imagelist/.values";

CRegistryValue MakeValue(std::uint32_t type, const QByteArray& bytes)
{
    CRegistryValue value;
    value.SetType(type);
    if (std::uint8_t* buffer = value.Allocate(static_cast<std::uint32_t>(bytes.size())))
        std::copy(bytes.begin(), bytes.end(), buffer);
    return value;
}

bool WriteRaw(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

}  // namespace

TEST(RegistryValue, StringsHoldUtf8AndAZeroAndOnlyStringTypesReadAsText)
{
    CRegistryValue value;
    EXPECT_EQ(value.Data(), nullptr);
    value.SetString("$HOME/caf\u00e9", true);
    EXPECT_EQ(value.Type(), win::kRegExpandSz);
    EXPECT_EQ(value.Bytes(), QByteArray("$HOME/caf\xC3\xA9\0", 12));
    value.SetString(QString(), false);
    EXPECT_EQ(value.Type(), win::kRegSz);
    EXPECT_EQ(value.Bytes(), QByteArray("\0", 1));

    struct Case { std::uint32_t type; QByteArray bytes; bool isText; const char* text; };
    const Case cases[] = {
        {win::kRegSz, QByteArray("ab\0cd", 5), true, "ab"},     // up to the first zero
        {win::kRegExpandSz, "$HOME/x", true, "$HOME/x"},       // no zero: up to the end, never expanded
        {win::kRegLink, "link", true, "link"},
        {win::kRegNone, QByteArray("a\0", 2), false, "untouched"},
        {win::kRegBinary, QByteArray("a\0", 2), false, "untouched"},
        {win::kRegDword, QByteArray("a\0", 2), false, "untouched"},
        {win::kRegMultiSz, QByteArray("a\0\0", 3), false, "untouched"},
    };
    for (const Case& c : cases) {
        QString text = "untouched";
        EXPECT_EQ(MakeValue(c.type, c.bytes).ToString(&text), c.isText) << c.type;
        EXPECT_EQ(text, c.text) << c.type;
    }

    CRegistryValue held = MakeValue(win::kRegSz, "abc");
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(held.Allocate(2)), 2), QByteArray(2, '\0'));  // fresh and zeroed
    held.Free();
    EXPECT_EQ(held.Data(), nullptr);
    EXPECT_EQ(held.Size(), 0u);
    EXPECT_EQ(held.Type(), win::kRegSz);
}

TEST(RegistryKey, ValuesRoundTripAnyBytesInTheDocumentedForm)
{
    CTestDir dir;
    QByteArray everyByte;
    for (int i = 0; i < 256; ++i)
        everyByte += static_cast<char>(i);
    const RegistryNamedValue cases[] = {
        {"image001", MakeValue(win::kRegSz, QByteArray("/logos/a,b.bmp,120,100,085,1\0", 29))},
        {"Caf\u00e9 logo", MakeValue(win::kRegExpandSz, "/home/ann/Logos f\xC3\xBCr Caf\xC3\xA9/x.bmp")},
        {"", MakeValue(win::kRegBinary, everyByte)},
        {"100% %41\nname", MakeValue(0xFFFFFFFFu, "")},
    };
    for (const RegistryNamedValue& c : cases)
        ASSERT_TRUE(CRegistryKey(dir.Root()).WriteValue(kKey, c.name, c.value));
    const CRegistryKey reader(dir.Root());
    for (const RegistryNamedValue& c : cases) {
        CRegistryValue read;
        ASSERT_TRUE(reader.ReadValue(kKey, c.name, &read)) << c.name.toStdString();
        EXPECT_EQ(read.Type(), c.value.Type()) << c.name.toStdString();
        EXPECT_EQ(read.Bytes(), c.value.Bytes()) << c.name.toStdString();
    }

    // Value names ignore case: a write replaces the value in its place.
    ASSERT_TRUE(reader.ReplaceValues(kKey, {{"image001", CRegistryValue("/a b%.bmp")}, {"image002", MakeValue(win::kRegDword, QByteArray("\1\0", 2))}}));
    ASSERT_TRUE(reader.WriteString(kKey, "IMAGE001", "/caf\u00e9.bmp"));
    QFile file(dir.Path(kValuesFile));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().toStdString(), "markograph-registry 1\n"
                              "value image001 1 /caf%C3%A9.bmp%00\n"
                              "value image002 4 %01%00\n"
                              "end 2\n");
    CRegistryValue missing = MakeValue(win::kRegSz, "stale");
    EXPECT_FALSE(reader.ReadValue(kKey, "image003", &missing));
    EXPECT_EQ(missing.Size(), 0u);
    EXPECT_FALSE(reader.ReplaceValues(kKey, {{"a", {}}, {"A", {}}}));  // the reader would call this damaged
}

TEST(RegistryKey, DamagedValuesFilesReadAsEmptyAndAreReplacedByTheNextWrite)
{
    struct Case { const char* what; QByteArray bytes; bool readable; };
    const QByteArray head = "markograph-registry 1\n";
    const Case cases[] = {
        {"well formed", head + "value image001 1 a%2cb%00\nend 1\n", true},
        {"hand-edited", head + "value image001 1 caf\xC3\xA9%c3%a9\nend 1\n", true},
        {"empty", "", false},
        {"no final line end", head + "value image001 1 a\nend 1", false},
        {"cut before the end line", head + "value image001 1 a\n", false},
        {"other format", "markograph-registry 2\nvalue image001 1 a\nend 1\n", false},
        {"wrong count", head + "value image001 1 a\nend 2\n", false},
        {"bad escape", head + "value image001 1 a%4\nend 1\n", false},
        {"bad type", head + "value image001 -1 a\nend 1\n", false},
        {"type too large", head + "value image001 4294967296 a\nend 1\n", false},
        {"extra field", head + "value image001 1 a b\nend 1\n", false},
        {"name twice", head + "value image001 1 a\nvalue IMAGE001 1 b\nend 2\n", false},
        {"line after the end", head + "end 0\nvalue image001 1 a\n", false},
        {"binary garbage", QByteArray("\0\xFF\n\x01", 4), false},
    };
    for (const Case& c : cases) {
        CTestDir dir;
        const CRegistryKey store(dir.Root());
        ASSERT_TRUE(store.WriteString(kKey, "other", "x"));
        ASSERT_TRUE(WriteRaw(dir.Path(kValuesFile), c.bytes));
        CRegistryValue value;
        EXPECT_EQ(store.ReadValue(kKey, "image001", &value), c.readable) << c.what;
        ASSERT_TRUE(store.WriteString(kKey, "image002", "new")) << c.what;
        QString text;
        EXPECT_EQ(store.ReadString(kKey, "image001", &text), c.readable) << c.what;
        EXPECT_TRUE(store.ReadString(kKey, "image002", &text)) << c.what;
        EXPECT_EQ(text, "new") << c.what;
    }

    CTestDir dir;
    const CRegistryKey store(dir.Root());
    ASSERT_TRUE(store.WriteString(kKey, "image001", "x"));
    ASSERT_TRUE(QFile::resize(dir.Path(kValuesFile), 16 * 1024 * 1024 + 1));
    CRegistryValue value;
    EXPECT_FALSE(store.ReadValue(kKey, "image001", &value)) << "an oversized file is not read";
}

TEST(RegistryKey, KeyPathsThatCannotBeFoldersAreRefused)
{
    CTestDir dir;
    const CRegistryKey store(dir.Root());
    const QString paths[] = {"", "\\Software", "Software\\", "Software\\\\Quentar", "Software\\.hidden",
                             "Software\\..", "..\\outside", "a/b", QString::fromUtf8("a\0b", 3)};
    for (const QString& path : paths) {
        QString error;
        EXPECT_FALSE(store.WriteString(path, "image001", "x", &error)) << path.toStdString();
        EXPECT_FALSE(error.isEmpty());
        EXPECT_FALSE(store.ReplaceValues(path, {}, &error)) << path.toStdString();
        EXPECT_FALSE(store.DeleteSubKey(path, &error)) << path.toStdString();
        EXPECT_FALSE(store.KeyExists(path)) << path.toStdString();
    }
    EXPECT_TRUE(QDir(dir.Root()).isEmpty());

    ASSERT_TRUE(WriteRaw(dir.Path("Software"), "a file where a key folder belongs"));
    QString error;
    EXPECT_FALSE(store.WriteString(kKey, "image001", "x", &error));
    EXPECT_TRUE(error.contains("Software")) << error.toStdString();
}

TEST(RegistryKey, DeleteSubKeyRemovesTheKeyButNotOneWithSubkeys)
{
    CTestDir dir;
    const CRegistryKey store(dir.Root());
    const QString parent = "Software\\Quentar\\LogoKeeper";
    EXPECT_TRUE(store.DeleteSubKey(kKey)) << "a missing key counts as deleted";
    ASSERT_TRUE(store.WriteString(parent, "kept", "x"));
    ASSERT_TRUE(store.WriteString(kKey, "image001", "x"));
    ASSERT_TRUE(WriteRaw(dir.Path(kValuesFile) + ".Ab12Cd", "left by a killed write"));

    QString error;
    EXPECT_FALSE(store.DeleteSubKey(parent, &error));
    EXPECT_TRUE(error.contains("subkeys")) << error.toStdString();
    EXPECT_TRUE(store.DeleteSubKey(kKey, &error)) << error.toStdString();
    EXPECT_FALSE(store.KeyExists(kKey));
    EXPECT_FALSE(QFileInfo::exists(dir.Path("Software/Quentar/LogoKeeper/Imagelist")));
    QString text;
    EXPECT_TRUE(store.ReadString(parent, "kept", &text));
}
