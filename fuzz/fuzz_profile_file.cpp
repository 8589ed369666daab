// The model file reader and writer on any file: reading it, writing back
// every value that was read and reading again gives the same values; a value
// written under a new or an existing name reads back as written while every
// other value stays; and a write is refused only for the reasons the writer
// documents.
#include "fuzz_support.h"

#include "config/profile_file.h"

#include <QFile>

#include <vector>

namespace {

// Names are collected loosely (the fuzz input decides what the reader sees);
// what matters is that the reads before and after agree for every name.
struct Name {
    QString section;
    QString key;
};

constexpr int kMaxNames = 24;
constexpr int kDefaultInt = -1234567;
// Not a value the input decides: the reader's own defaults are checked
// through it, and a file may hold any text.
const QString kDefaultText = QStringLiteral("(default)");

bool IsBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\v' || c == u'\f';
}

QString Trimmed(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

bool SameName(const QString& a, const QString& b)
{
    return QString::compare(Trimmed(a), Trimmed(b), Qt::CaseInsensitive) == 0;
}

std::vector<Name> CollectNames(const QByteArray& bytes)
{
    std::vector<Name> names;
    QString section;
    bool inSection = false;
    for (const QByteArray& raw : bytes.split('\n')) {
        const QString line = Trimmed(QString::fromLatin1(raw));
        if (line.startsWith(u'[') && line.lastIndexOf(u']') > 0) {
            section = line.sliced(1, line.lastIndexOf(u']') - 1);
            inSection = true;
        } else if (inSection && line.indexOf(u'=') > 0 && static_cast<int>(names.size()) < kMaxNames) {
            names.push_back({section, line.first(line.indexOf(u'='))});
        }
    }
    return names;
}

struct Values {
    QString text;
    int number = 0;
    friend bool operator==(const Values&, const Values&) = default;
};

Values Read(const CProfileFile& file, const Name& name)
{
    return {file.ReadString(name.section, name.key, kDefaultText), file.ReadInt(name.section, name.key, kDefaultInt)};
}

bool HasLineBreak(const QString& text)
{
    return text.contains(u'\n') || text.contains(u'\r');
}

// The refusals the writer documents: names that are empty or would not read
// back as themselves, and line breaks anywhere.
bool MayBeRefused(const QString& section, const QString& key, const QString& value)
{
    const QString s = Trimmed(section);
    const QString k = Trimmed(key);
    const auto badStart = [](const QString& name) {
        return name.startsWith(u'[') || name.startsWith(u';') || name.startsWith(u'#');
    };
    return s.isEmpty() || k.isEmpty() || badStart(s) || badStart(k) || section.contains(u']') || key.contains(u'=')
           || HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value);
}

// What a written value reads back as: blanks around it are not part of it,
// at most 255 characters, the number is read from the whole value, and an
// empty value reads as missing.
Values ExpectedValues(const QString& written)
{
    const QString trimmed = Trimmed(written);
    if (trimmed.isEmpty())
        return {kDefaultText, kDefaultInt};
    return {trimmed.first(std::min<qsizetype>(trimmed.size(), CProfileFile::kMaxStringLength)),
            CProfileFile::ParseLeadingInt(trimmed)};
}

void CheckAll(const CProfileFile& file, const std::vector<Name>& names, const std::vector<Values>& expected)
{
    for (size_t i = 0; i < names.size(); ++i)
        FUZZ_CHECK(Read(file, names[i]) == expected[i]);
}

// Writes value under section/key and checks that it reads back, in this
// object and in a fresh one, while every other collected name keeps its value.
void WriteAndCheck(CProfileFile& file, const QString& section, const QString& key, const QString& value,
                   const std::vector<Name>& names, std::vector<Values>& expected)
{
    QString error;
    const QByteArray before = [&] {
        QFile f(file.Path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    if (!file.WriteString(section, key, value, &error)) {
        FUZZ_CHECK(MayBeRefused(section, key, value));
        FUZZ_CHECK(!error.isEmpty());
        QFile f(file.Path());
        FUZZ_CHECK(!f.exists() || (f.open(QIODevice::ReadOnly) && f.readAll() == before));
        CheckAll(file, names, expected);
        return;
    }
    FUZZ_CHECK(!HasLineBreak(value));
    const Values written = ExpectedValues(value);
    FUZZ_CHECK(Read(file, {section, key}) == written);
    for (size_t i = 0; i < names.size(); ++i) {
        if (SameName(names[i].section, section) && SameName(names[i].key, key))
            expected[i] = written;
    }
    CheckAll(file, names, expected);
    const CProfileFile reread(file.Path());
    FUZZ_CHECK(Read(reread, {section, key}) == written);
    CheckAll(reread, names, expected);
}

// A value taken from the input, without line breaks, for the added keys.
QString ValueFrom(const QByteArray& bytes)
{
    QString value = QString::fromLatin1(bytes.first(std::min<qsizetype>(bytes.size(), 300)));
    value.replace(u'\n', u' ').replace(u'\r', u' ');
    return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString path = FuzzFolder() + QStringLiteral("/NV.inf");
    WriteFuzzFile(path, data, size);
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const std::vector<Name> names = CollectNames(bytes);

    CProfileFile file(path);
    std::vector<Values> expected;
    for (const Name& name : names)
        expected.push_back(Read(file, name));

    // Every value read, written back under its own name.
    for (size_t i = 0; i < names.size(); ++i) {
        if (expected[i].text != kDefaultText)
            WriteAndCheck(file, names[i].section, names[i].key, expected[i].text, names, expected);
    }
    const CProfileFile reread(path);
    CheckAll(reread, names, expected);

    // New keys in the first sections, a new section, and an existing key
    // changed: the three places a write can put its line.
    const QString value = ValueFrom(bytes);
    for (size_t i = 0; i < names.size() && i < 3; ++i)
        WriteAndCheck(file, names[i].section, QStringLiteral("FuzzAdded%1").arg(i), value, names, expected);
    WriteAndCheck(file, QStringLiteral("Fuzz Section"), QStringLiteral("Added"), value, names, expected);
    if (!names.empty())
        WriteAndCheck(file, names.back().section, names.back().key, QStringLiteral(" 42 changed "), names, expected);

    // Reload reads what a fresh object reads.
    FUZZ_CHECK(file.Reload());
    CheckAll(file, names, expected);
    return 0;
}
