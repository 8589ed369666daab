#include "logos/registry_key.h"

#include "framework/atomic_file.h"
#include "framework/regular_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <system_error>

namespace {

using Values = std::vector<RegistryNamedValue>;

constexpr char kHeader[] = "markograph-registry 1";
constexpr char kValuesFile[] = ".values";
// Far above what a key of this program holds (255 paths); a bound so that a
// stray large file is not read into memory.
constexpr qint64 kMaxValuesFileBytes = 16 * 1024 * 1024;

std::filesystem::path FsPath(const QString& path)
{
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

QString Reason(const std::error_code& error)
{
    return QString::fromLocal8Bit(error.message().c_str());
}

QByteArray Escape(QByteArrayView bytes)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    QByteArray text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte > ' ' && byte < 0x7F && byte != '%') {
            text += c;
        } else {
            text += '%';
            text += kHex[byte >> 4];
            text += kHex[byte & 0x0F];
        }
    }
    return text;
}

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

// Reads raw bytes as they are (so a hand-edited file may hold UTF-8) and %XX
// as the byte XX.
std::optional<QByteArray> Unescape(QByteArrayView field)
{
    QByteArray bytes;
    bytes.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] != '%') {
            bytes += field[i];
            continue;
        }
        const int high = i + 1 < field.size() ? HexDigit(field[i + 1]) : -1;
        const int low = i + 2 < field.size() ? HexDigit(field[i + 2]) : -1;
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return bytes;
}

// Plain decimal digits only, no sign or blanks.
std::optional<std::uint32_t> ParseNumber(QByteArrayView field)
{
    if (field.isEmpty() || field.size() > 10)
        return std::nullopt;
    quint64 number = 0;
    for (const char c : field) {
        if (c < '0' || c > '9')
            return std::nullopt;
        number = number * 10 + static_cast<quint64>(c - '0');
    }
    if (number > 0xFFFFFFFFu)
        return std::nullopt;
    return static_cast<std::uint32_t>(number);
}

Values::const_iterator FindValue(const Values& values, const QString& name)
{
    return std::find_if(values.begin(), values.end(), [&name](const RegistryNamedValue& value) {
        return QString::compare(value.name, name, Qt::CaseInsensitive) == 0;
    });
}

// A set rather than pairwise comparison, so that a large hand-made file
// cannot take quadratic time.
bool HasRepeatedName(const Values& values)
{
    QSet<QString> seen;
    for (const RegistryNamedValue& value : values) {
        const QString folded = value.name.toCaseFolded();
        if (seen.contains(folded))
            return true;
        seen.insert(folded);
    }
    return false;
}

std::optional<Values> ParseValuesFile(const QByteArray& bytes, QString* damage)
{
    if (!bytes.endsWith('\n')) {
        *damage = QStringLiteral("it does not end with a line end");
        return std::nullopt;
    }
    const QList<QByteArray> lines = bytes.chopped(1).split('\n');
    if (lines.front() != kHeader) {
        *damage = QStringLiteral("its first line is not \"%1\"").arg(QLatin1String(kHeader));
        return std::nullopt;
    }
    Values values;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QList<QByteArray> fields = lines[i].split(' ');
        if (i + 1 == lines.size() && fields.size() == 2 && fields[0] == "end") {
            const std::optional<std::uint32_t> count = ParseNumber(fields[1]);
            if (!count || *count != values.size()) {
                *damage = QStringLiteral("its end line does not count %1 values").arg(values.size());
                return std::nullopt;
            }
            if (HasRepeatedName(values)) {
                *damage = QStringLiteral("it holds a value name twice");
                return std::nullopt;
            }
            return values;
        }
        const std::optional<QByteArray> name = fields.size() == 4 ? Unescape(fields[1]) : std::nullopt;
        const std::optional<std::uint32_t> type = fields.size() == 4 ? ParseNumber(fields[2]) : std::nullopt;
        const std::optional<QByteArray> data = fields.size() == 4 ? Unescape(fields[3]) : std::nullopt;
        if (fields[0] != "value" || !name || !type || !data) {
            *damage = QStringLiteral("line %1 is not a value").arg(i + 1);
            return std::nullopt;
        }
        RegistryNamedValue value{QString::fromUtf8(*name), {}};
        value.value.SetType(*type);
        if (std::uint8_t* buffer = value.value.Allocate(static_cast<std::uint32_t>(data->size())))
            std::copy(data->begin(), data->end(), buffer);
        values.push_back(std::move(value));
    }
    *damage = QStringLiteral("its end line is missing");
    return std::nullopt;
}

QByteArray FormatValuesFile(const Values& values)
{
    QByteArray text = QByteArray(kHeader) + '\n';
    for (const RegistryNamedValue& value : values) {
        text += "value " + Escape(value.name.toUtf8()) + ' ' + QByteArray::number(value.value.Type()) + ' '
                + Escape(value.value.Bytes()) + '\n';
    }
    text += "end " + QByteArray::number(static_cast<qulonglong>(values.size())) + '\n';
    return text;
}

void ReportOnStandardError(const QString& text)
{
    std::fprintf(stderr, "markograph: %s\n", text.toLocal8Bit().constData());
}

// The key's values: none when the file does not exist or is damaged (reported
// here); nullopt with *error when it exists but cannot be read.
std::optional<Values> LoadValues(const QString& folder, QString* error)
{
    const QString path = folder + '/' + QLatin1String(kValuesFile);
    if (!QFileInfo::exists(path))
        return Values();
    QFile file;
    QString reason;
    if (!OpenRegularFile(path, file, &reason)) {
        *error = QStringLiteral("%1: cannot read (%2)").arg(path, reason);
        return std::nullopt;
    }
    QString damage;
    std::optional<Values> values;
    if (file.size() > kMaxValuesFileBytes) {
        damage = QStringLiteral("it is larger than %1 bytes").arg(kMaxValuesFileBytes);
    } else {
        const QByteArray bytes = file.readAll();
        if (file.error() != QFileDevice::NoError) {
            *error = QStringLiteral("%1: cannot read (%2)").arg(path, file.errorString());
            return std::nullopt;
        }
        values = ParseValuesFile(bytes, &damage);
    }
    if (!values) {
        ReportOnStandardError(QStringLiteral("%1 is damaged (%2); it is taken as holding no values")
                                  .arg(path, damage));
        return Values();
    }
    return values;
}

bool StoreValues(const QString& folder, const Values& values, QString* error)
{
    const QByteArray text = FormatValuesFile(values);
    if (text.size() > kMaxValuesFileBytes) {
        *error = QStringLiteral("%1: the values would take more than %2 bytes").arg(folder).arg(kMaxValuesFileBytes);
        return false;
    }
    std::error_code failure;
    std::filesystem::create_directories(FsPath(folder), failure);
    if (failure) {
        *error = QStringLiteral("%1: cannot create the folder (%2)").arg(folder, Reason(failure));
        return false;
    }
    return WriteFileAtomically(folder + '/' + QLatin1String(kValuesFile), text, error);
}

}  // namespace

bool CRegistryKey::KeyFolder(const QString& subKey, QString* folder, QString* error) const
{
    if (m_root.isEmpty()) {
        *error = QStringLiteral("the store has no folder");
        return false;
    }
    *folder = m_root;
    for (const QString& component : subKey.split('\\')) {
        if (component.isEmpty() || component.startsWith('.') || component.contains('/') || component.contains(QChar(0))) {
            *error = QStringLiteral("\"%1\" is not a valid key path").arg(subKey);
            return false;
        }
        *folder += '/' + component;
    }
    return true;
}

bool CRegistryKey::ReadValue(const QString& subKey, const QString& valueName, CRegistryValue* value) const
{
    value->Free();
    QString folder;
    QString error;
    if (!KeyFolder(subKey, &folder, &error))
        return false;
    const std::optional<Values> values = LoadValues(folder, &error);
    if (!values) {
        ReportOnStandardError(error);
        return false;
    }
    const auto found = FindValue(*values, valueName);
    if (found == values->end())
        return false;
    *value = found->value;
    return true;
}

bool CRegistryKey::ReadString(const QString& subKey, const QString& valueName, QString* text) const
{
    CRegistryValue value;
    return ReadValue(subKey, valueName, &value) && value.ToString(text);
}

bool CRegistryKey::WriteValue(const QString& subKey, const QString& valueName, const CRegistryValue& value,
                              QString* error) const
{
    QString reason;
    QString folder;
    std::optional<Values> values;
    if (KeyFolder(subKey, &folder, &reason))
        values = LoadValues(folder, &reason);
    if (values) {
        const auto found = FindValue(*values, valueName);
        if (found != values->end())
            (*values)[static_cast<size_t>(found - values->begin())].value = value;
        else
            values->push_back({valueName, value});
        if (StoreValues(folder, *values, &reason))
            return true;
    }
    if (error)
        *error = reason;
    return false;
}

bool CRegistryKey::WriteString(const QString& subKey, const QString& valueName, const QString& text,
                               QString* error) const
{
    return WriteValue(subKey, valueName, CRegistryValue(text), error);
}

bool CRegistryKey::ReplaceValues(const QString& subKey, const std::vector<RegistryNamedValue>& values,
                                 QString* error) const
{
    QString reason;
    QString folder;
    bool written = KeyFolder(subKey, &folder, &reason);
    if (written && HasRepeatedName(values)) {
        reason = QStringLiteral("%1: a value name is given twice").arg(subKey);
        written = false;
    }
    written = written && StoreValues(folder, values, &reason);
    if (!written && error)
        *error = reason;
    return written;
}

bool CRegistryKey::DeleteSubKey(const QString& subKey, QString* error) const
{
    QString reason;
    QString folder;
    const auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (!KeyFolder(subKey, &folder, &reason))
        return fail(reason);
    const std::filesystem::path path = FsPath(folder);
    std::error_code failure;
    const std::filesystem::file_status status = std::filesystem::status(path, failure);
    if (status.type() == std::filesystem::file_type::not_found)
        return true;
    if (status.type() != std::filesystem::file_type::directory)
        return fail(QStringLiteral("%1: not a key folder").arg(folder));

    std::vector<std::filesystem::path> storeFiles;
    for (std::filesystem::directory_iterator it(path, failure), end; !failure && it != end; it.increment(failure)) {
        if (it->path().filename().string().starts_with('.'))
            storeFiles.push_back(it->path());
        else
            return fail(QStringLiteral("%1: the key has subkeys").arg(folder));
    }
    if (failure)
        return fail(QStringLiteral("%1: cannot list the folder (%2)").arg(folder, Reason(failure)));
    // The values file goes first: from then on the key reads as empty, whatever
    // else fails.
    if (std::filesystem::remove(path / kValuesFile, failure); failure)
        return fail(QStringLiteral("%1: cannot remove the values (%2)").arg(folder, Reason(failure)));
    for (const std::filesystem::path& leftover : storeFiles)
        std::filesystem::remove(leftover, failure);  // temporary files of killed writes
    if (std::filesystem::remove(path, failure); failure)
        return fail(QStringLiteral("%1: cannot remove the key folder (%2)").arg(folder, Reason(failure)));
    return true;
}

bool CRegistryKey::KeyExists(const QString& subKey) const
{
    QString folder;
    QString error;
    return KeyFolder(subKey, &folder, &error) && QFileInfo(folder).isDir();
}
