#pragma once

#include "imaging/printer_kind.h"  // kModelTypeDotMode

#include <QString>

#include <vector>

class CProfileFile;

// Printer kinds (MODELTYPE). The kind decides the whole path: how logos are
// converted, which download command and which print command are used.
// kModelTypeDotMode (0): impact printer, 8-dot bit images in black and red.
inline constexpr int kModelTypeMonoThermal = 1;      // single-colour thermal, FS q / FS p
inline constexpr int kModelTypeTwoColorThermal = 2;  // two-colour thermal, GS 8 L / GS ( L by address

// Bits of a catalogue entry's interface set: which interfaces the model offers.
inline constexpr int kInterfaceBitSerial = 1;
inline constexpr int kInterfaceBitParallel = 2;
inline constexpr int kInterfaceBitUsb = 4;
inline constexpr int kInterfaceBitEthernet = 8;

// The catalogue has keys PRINTER01 ... PRINTER49 at most.
inline constexpr int kMaxCatalogueModels = 49;

// One catalogue entry of NV.inf ([PRINTERLIST] PRINTERnn).
struct ModelInfo {
    QString modelName;
    int interfaceMask = 0;  // kInterfaceBit* set
    int modelType = 0;      // kModelType*
    int receiptWidth = 0;   // printable width in dots
    int downMax = 0;        // most logos per download
    int memorySize = 0;     // NV image memory in KByte

    friend bool operator==(const ModelInfo&, const ModelInfo&) = default;
};

// Parses "<name>,<iii>,<ttt>,<www>,<ddd>,<mmm>". The name is everything before
// the first comma; the five numbers are read at fixed positions, from the three
// characters at 1, 5, 9, 13 and 17 past that comma, each like atoi (so "1,2"
// reads 1 and a field cut short by the end of the value reads the digits it
// has, or 0). Without a comma the whole value is the name and every number 0.
ModelInfo ParseModelEntry(const QString& value);

// Reads PRINTER01, PRINTER02 ... in order, up to the first key that is missing
// or empty and at most PRINTER49.
std::vector<ModelInfo> ReadModelCatalogue(const CProfileFile& file);

// The first model with exactly that name (case-sensitive), or null. The pointer
// lives as long as the vector is not changed.
const ModelInfo* FindModelByName(const std::vector<ModelInfo>& models, const QString& name);

// "DOT MODE" for 0, "2 Color thermal" for 2, "1 Color thermal" for any other
// value: an unknown kind is shown as single-colour.
QString ModelTypeText(int modelType);
