#include "logos/logo_store.h"

#include "logos/logo_value_text.h"
#include "logos/registry_key.h"

#include <QStandardPaths>

#include <vector>

namespace {

const char kImageListKey[] = "Software\\Quentar\\LogoKeeper\\Imagelist";
// The list never holds more, and the names have three digits.
constexpr int kMaxStoredLogos = 255;

QString& ConfiguredRoot()
{
    static QString root;
    return root;
}

QString StoreRoot()
{
    if (!ConfiguredRoot().isEmpty())
        return ConfiguredRoot();
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return config.isEmpty() ? QString() : config + QStringLiteral("/markograph/registry");
}

QString ValueName(int number)
{
    return QString::asprintf("image%03d", number);
}

}  // namespace

void SetLogoStoreRoot(const QString& folder)
{
    ConfiguredRoot() = folder;
}

QString LogoStoreLockPath()
{
    const QString root = StoreRoot();
    return root.isEmpty() ? QString() : root + QStringLiteral(".lock");
}

bool SaveLogoList(const CLogoList& list, QString* error)
{
    const CRegistryKey store(StoreRoot());
    if (list.IsEmpty())
        return store.DeleteSubKey(kImageListKey, error);
    std::vector<RegistryNamedValue> values;
    int number = 1;
    for (const LogoEntry* entry : list.Entries())
        values.push_back({ValueName(number++), CRegistryValue(FormatLogoValue(*entry))});
    return store.ReplaceValues(kImageListKey, values, error);
}

void RestoreLogoList(CLogoList& list)
{
    const CRegistryKey store(StoreRoot());
    for (int number = 1; number <= kMaxStoredLogos; ++number) {
        QString text;
        if (!store.ReadString(kImageListKey, ValueName(number), &text))
            return;
        const LogoValue value = ParseLogoValue(text);
        list.AddLogoFile(value.path, {value.threshold, value.rValue, value.lValue, value.colorMode});
    }
}
