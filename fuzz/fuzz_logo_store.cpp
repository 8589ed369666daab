// The logo store as the next start finds it: any values file under the logo
// list's key. Reading never fails in other ways than documented (a value is
// there, with its bytes, or the read says no and leaves nothing); every value
// read survives being copied into another key and read back, and survives a
// write of another value into its own key; and the logo text of each string
// value parses so that formatting and parsing again gives the same logo.
#include "fuzz_support.h"

#include "logos/logo_entry.h"
#include "logos/logo_value_text.h"
#include "logos/registry_key.h"

#include <QDir>
#include <QSet>

#include <algorithm>
#include <vector>

namespace {

const QString kListKey = QStringLiteral("Software\\Quentar\\LogoKeeper\\Imagelist");
const QString kCopyKey = QStringLiteral("Software\\Quentar\\LogoKeeper\\Copy");
constexpr int kMaxNames = 32;

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Value names as the file spells them ("value <name> ..."), %XX decoded; a
// loose reading, since the store itself decides which of them exist.
std::vector<QString> CollectNames(const QByteArray& bytes)
{
    std::vector<QString> names = {QStringLiteral("image001"), QStringLiteral("image002"), QStringLiteral("IMAGE003")};
    QSet<QString> seen;
    for (const QString& name : names)
        seen.insert(name.toCaseFolded());
    for (const QByteArray& line : bytes.split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() < 2 || fields[0] != "value" || static_cast<int>(names.size()) >= kMaxNames)
            continue;
        QByteArray name;
        const QByteArray& field = fields[1];
        for (qsizetype i = 0; i < field.size(); ++i) {
            if (field[i] == '%' && i + 2 < field.size() && HexDigit(field[i + 1]) >= 0 && HexDigit(field[i + 2]) >= 0) {
                name += static_cast<char>(HexDigit(field[i + 1]) * 16 + HexDigit(field[i + 2]));
                i += 2;
            } else {
                name += field[i];
            }
        }
        const QString text = QString::fromUtf8(name);
        if (!seen.contains(text.toCaseFolded())) {
            seen.insert(text.toCaseFolded());
            names.push_back(text);
        }
    }
    return names;
}

bool SameValue(const CRegistryValue& a, const CRegistryValue& b)
{
    return a.Type() == b.Type() && a.Bytes() == b.Bytes();
}

void CheckLogoText(const QString& text)
{
    const LogoValue value = ParseLogoValue(text);
    const qsizetype comma = text.indexOf(u',');
    FUZZ_CHECK(value.path == (comma < 0 ? text : text.first(comma)));
    // A logo as the list holds it, formatted and parsed again, is the same logo.
    LogoEntry entry;
    entry.path = value.path;
    entry.threshold = std::clamp(value.threshold, 0, 999);
    entry.rValue = static_cast<std::uint8_t>(std::clamp(value.rValue, 0, 255));
    entry.lValue = static_cast<std::uint8_t>(std::clamp(value.lValue, 0, 255));
    entry.colorMode = FromStoredNumber(std::clamp(ToStoredNumber(value.colorMode), 0, 9));
    const LogoValue again = ParseLogoValue(FormatLogoValue(entry));
    FUZZ_CHECK(again.path == entry.path);
    FUZZ_CHECK(again.threshold == entry.threshold && again.rValue == entry.rValue && again.lValue == entry.lValue
               && again.colorMode == entry.colorMode);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString root = FuzzFolder() + QStringLiteral("/store");
    const QString folder = root + QStringLiteral("/Software/Quentar/LogoKeeper/Imagelist");
    static const bool made = QDir().mkpath(folder);
    FUZZ_CHECK(made);
    WriteFuzzFile(folder + QStringLiteral("/.values"), data, size);
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    const CRegistryKey store(root);
    std::vector<RegistryNamedValue> found;
    for (const QString& name : CollectNames(bytes)) {
        CRegistryValue value;
        value.SetString(QStringLiteral("left over"), false);
        if (!store.ReadValue(kListKey, name, &value)) {
            FUZZ_CHECK(value.Size() == 0 && value.Data() == nullptr);
            continue;
        }
        QString text;
        const bool isString = value.Type() == win::kRegSz || value.Type() == win::kRegExpandSz || value.Type() == win::kRegLink;
        FUZZ_CHECK(store.ReadString(kListKey, name, &text) == isString);
        if (isString)
            CheckLogoText(text);
        found.push_back({name, value});
    }

    QString error;
    FUZZ_CHECK(store.ReplaceValues(kCopyKey, found, &error));
    for (const RegistryNamedValue& entry : found) {
        CRegistryValue copy;
        FUZZ_CHECK(store.ReadValue(kCopyKey, entry.name, &copy));
        FUZZ_CHECK(SameValue(copy, entry.value));
    }

    // Adding a value keeps the others (a damaged file had none to keep).
    const QString added = QStringLiteral("fuzz added");
    FUZZ_CHECK(store.WriteString(kListKey, added, QStringLiteral("/logos/a.bmp,120,100,085,1"), &error));
    for (const RegistryNamedValue& entry : found) {
        if (QString::compare(entry.name, added, Qt::CaseInsensitive) == 0)
            continue;
        CRegistryValue again;
        FUZZ_CHECK(store.ReadValue(kListKey, entry.name, &again));
        FUZZ_CHECK(SameValue(again, entry.value));
    }
    QString text;
    FUZZ_CHECK(store.ReadString(kListKey, added, &text) && text == QStringLiteral("/logos/a.bmp,120,100,085,1"));
    return 0;
}
