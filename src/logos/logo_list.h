#pragma once

#include "framework/outcome.h"
#include "logos/logo_entry.h"

#include <QString>

#include <memory>
#include <vector>

// The model's limits on the logo list, read from the model file.
struct LogoLimits {
    int downMax = 0;       // most logos per download
    int memorySize = 0;    // NV image memory in KByte
    int receiptWidth = 0;  // printable width in dots; wider logos count only this much
};

// The colour settings a newly added logo takes: the window's current ones.
struct LogoSettings {
    int threshold = 0;
    int rValue = 100;
    int lValue = 100;
    ColorChoice colorMode = ColorChoice::Red;
};

// What became of a logo offered to the list; the numbers are the ones the
// window's handlers have always used.
enum class LogoAddResult { Added = 0, LoadFailed = -2, CountRefused = -10, MemoryRefused = -11 };
inline constexpr LogoAddResult kLogoAdded = LogoAddResult::Added;
inline constexpr LogoAddResult kLogoLoadFailed = LogoAddResult::LoadFailed;
inline constexpr LogoAddResult kLogoCountRefused = LogoAddResult::CountRefused;
inline constexpr LogoAddResult kLogoMemoryRefused = LogoAddResult::MemoryRefused;

// The result together with what the operator is told about it (a failure
// unless the logo was added).
struct LogoAddOutcome {
    LogoAddResult result = LogoAddResult::Added;
    Outcome told;
};

// The ordered list of logos a download puts into the printer. Entries are
// numbered 1, 2, 3 ... in list order after every change; the numbers are 8 bits
// wide, so the list never holds more than 255 entries. TryAdd... return what
// became of a logo; AddLogo and AddLogoFile show it (ShowOutcome).
// User-interface thread only.
class CLogoList {
public:
    void SetLimits(const LogoLimits& limits) { m_limits = limits; }
    const LogoLimits& Limits() const { return m_limits; }

    // Measures the file (CBitmapSurface::MeasureBmp: every check of a load,
    // the pixels decoded only where a check needs them); the entry keeps the
    // path. On failure returns null, sets *status to LoadFailed's number and,
    // when given, *error to the reason. Nothing is shown to the operator here.
    static std::unique_ptr<LogoEntry> LoadLogoFile(int number, const QString& path, const LogoSettings& settings,
                                                   int receiptWidth, int* status, QString* error = nullptr);

    // Appends the entry (Added), or refuses it with "Don't Read files any
    // more!" (CountRefused) or "NV-bitimage area too small" (MemoryRefused)
    // and discards it.
    LogoAddOutcome TryAddLogo(std::unique_ptr<LogoEntry> entry);
    LogoAddResult AddLogo(std::unique_ptr<LogoEntry> entry);

    // LoadLogoFile then TryAddLogo, as "Open File" and the start-up restore
    // do: a file that does not load is LoadFailed with "Failed to load image
    // file!" and, on a second line, the file's path and the reason.
    LogoAddOutcome TryAddLogoFile(const QString& path, const LogoSettings& settings, QString* error = nullptr);
    LogoAddResult AddLogoFile(const QString& path, const LogoSettings& settings, QString* error = nullptr);

    unsigned int GetTotalLogoBytes() const;

    // Deletes the first entry with that number, renumbers the rest and clears
    // the current entry number.
    void RemoveLogo(int number);
    void FreeAllLogos();

    int Count() const { return static_cast<int>(m_entries.size()); }
    bool IsEmpty() const { return m_entries.empty(); }
    const LogoEntry& At(int index) const { return *m_entries.at(static_cast<size_t>(index)); }
    LogoEntry* FindByNumber(int number);
    std::vector<const LogoEntry*> Entries() const;

    // The entry whose settings the colour controls show; -1 when none.
    int CurrentEntryNumber() const { return m_currentEntryNumber; }
    void SetCurrentEntryNumber(int number) { m_currentEntryNumber = number; }

    // "Logo Files : n / DOWNMAX \nLogo Size Total : KB / MEMORYSIZE KByte".
    QString SummaryText(int rowCount) const;

private:
    void Renumber();

    std::vector<std::unique_ptr<LogoEntry>> m_entries;
    LogoLimits m_limits;
    int m_currentEntryNumber = -1;
};

// The file name part of a path: everything after the last separator. Both
// slashes count, so that paths written on another system still split.
QString LogoFileName(const QString& path);

// Raster bytes a logo occupies: ceil(min(width, receiptWidth) / 8) x height,
// with the width comparison unsigned as the model file's value is taken.
int LogoByteSize(int width, int height, int receiptWidth);
