#pragma once

#include "kinds/printer_kind.h"  // PrinterKind::DotMode

#include <QString>

#include <vector>

class CProfileFile;

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
    CModelType modelType = CModelType::FromNumber(0);  // as listed, written back unchanged
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
