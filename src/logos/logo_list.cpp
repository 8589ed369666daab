#include "logos/logo_list.h"

#include "imaging/bitmap_surface.h"

#include <QDir>

#include <algorithm>
#include <climits>

QString LogoFileName(const QString& path)
{
    const qsizetype cut = std::max(path.lastIndexOf('\\'), path.lastIndexOf('/'));
    return cut < 0 ? path : path.mid(cut + 1);
}

int LogoByteSize(int width, int height, int receiptWidth)
{
    const unsigned int counted = std::min(static_cast<unsigned int>(width), static_cast<unsigned int>(receiptWidth));
    const long long bytesPerLine = counted / 8 + (counted % 8 != 0 ? 1 : 0);
    return static_cast<int>(std::min<long long>(bytesPerLine * height, INT_MAX));
}

std::unique_ptr<LogoEntry> CLogoList::LoadLogoFile(int number, const QString& path, const LogoSettings& settings,
                                                   int receiptWidth, int* status, QString* error)
{
    // Measured, not decoded: a restore of many large logos would otherwise
    // decode each one whole only to learn its size.
    const std::optional<QSize> size = CBitmapSurface::MeasureBmp(path, error);
    if (!size) {
        if (status)
            *status = static_cast<int>(LogoAddResult::LoadFailed);
        return nullptr;
    }
    auto entry = std::make_unique<LogoEntry>();
    entry->number = static_cast<std::uint8_t>(number);
    entry->byteSize = LogoByteSize(size->width(), size->height(), receiptWidth);
    entry->name = LogoFileName(path);
    entry->path = path;
    entry->threshold = settings.threshold;
    entry->rValue = static_cast<std::uint8_t>(settings.rValue);
    entry->lValue = static_cast<std::uint8_t>(settings.lValue);
    entry->colorMode = settings.colorMode;
    return entry;
}

namespace {

LogoAddOutcome Refused(LogoAddResult result, const QString& text)
{
    return {result, Outcome::Failure(text)};
}

LogoAddOutcome CountRefused()
{
    return Refused(LogoAddResult::CountRefused, QStringLiteral("Don't Read files any more!"));
}

LogoAddResult Shown(const LogoAddOutcome& added)
{
    ShowOutcome(added.told);
    return added.result;
}

}  // namespace

LogoAddOutcome CLogoList::TryAddLogo(std::unique_ptr<LogoEntry> entry)
{
    if (!(Count() < m_limits.downMax))
        return CountRefused();
    // Equal to the memory size is still accepted.
    const unsigned long long limit = static_cast<unsigned long long>(static_cast<unsigned int>(m_limits.memorySize)) * 1024u;
    const unsigned long long total = static_cast<unsigned long long>(GetTotalLogoBytes()) + static_cast<unsigned int>(entry->byteSize);
    if (total > limit)
        return Refused(LogoAddResult::MemoryRefused, QStringLiteral("NV-bitimage area too small"));
    // Numbers are 8 bits wide: a list that reached 255 entries takes no more,
    // whatever the model file allows.
    if (Count() >= 255)
        return CountRefused();
    m_entries.push_back(std::move(entry));
    Renumber();
    return {};
}

LogoAddResult CLogoList::AddLogo(std::unique_ptr<LogoEntry> entry)
{
    return Shown(TryAddLogo(std::move(entry)));
}

LogoAddOutcome CLogoList::TryAddLogoFile(const QString& path, const LogoSettings& settings, QString* error)
{
    int status = 0;
    QString reason;
    std::unique_ptr<LogoEntry> entry = LoadLogoFile(Count() + 1, path, settings, m_limits.receiptWidth, &status, &reason);
    if (!entry) {
        if (error)
            *error = reason;
        // The caption everyone knows, then which file and why.
        return Refused(LogoAddResult::LoadFailed, QStringLiteral("Failed to load image file!\n%1: %2")
                                                      .arg(QDir::toNativeSeparators(path), reason));
    }
    return TryAddLogo(std::move(entry));
}

LogoAddResult CLogoList::AddLogoFile(const QString& path, const LogoSettings& settings, QString* error)
{
    return Shown(TryAddLogoFile(path, settings, error));
}

unsigned int CLogoList::GetTotalLogoBytes() const
{
    unsigned int total = 0;
    for (const auto& entry : m_entries)
        total += static_cast<unsigned int>(entry->byteSize);
    return total;
}

void CLogoList::RemoveLogo(int number)
{
    const auto found = std::find_if(m_entries.begin(), m_entries.end(),
                                    [number](const auto& entry) { return entry->number == number; });
    if (found != m_entries.end())
        m_entries.erase(found);
    Renumber();
    m_currentEntryNumber = -1;
}

void CLogoList::FreeAllLogos()
{
    m_entries.clear();
}

LogoEntry* CLogoList::FindByNumber(int number)
{
    for (const auto& entry : m_entries) {
        if (entry->number == number)
            return entry.get();
    }
    return nullptr;
}

std::vector<const LogoEntry*> CLogoList::Entries() const
{
    std::vector<const LogoEntry*> result;
    result.reserve(m_entries.size());
    for (const auto& entry : m_entries)
        result.push_back(entry.get());
    return result;
}

QString CLogoList::SummaryText(int rowCount) const
{
    return QString::asprintf("Logo Files : %d / %d \nLogo Size Total : %d / %d KByte", rowCount, m_limits.downMax,
                             static_cast<int>(GetTotalLogoBytes() >> 10), m_limits.memorySize);
}

void CLogoList::Renumber()
{
    int number = 1;
    for (const auto& entry : m_entries)
        entry->number = static_cast<std::uint8_t>(number++);
}
