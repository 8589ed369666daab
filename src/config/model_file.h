#pragma once

#include <QString>

class CProfileFile;

// Names of NV.inf. Names are matched without regard to case; these
// are the spellings written when a key is added, as the configuration dialog
// writes them (the main window reads ModelType as MODELTYPE: the same key).
inline constexpr char kSectionCommon[] = "COMMON";
inline constexpr char kSectionPrinterList[] = "PRINTERLIST";
inline constexpr char kSectionCommunication[] = "COMMUNICATION";

inline constexpr char kKeyDescription[] = "DESCRIPTION";
inline constexpr char kKeyModelName[] = "ModelName";
inline constexpr char kKeyModelType[] = "ModelType";
inline constexpr char kKeyReceiptWidth[] = "RECEIPTWIDTH";
inline constexpr char kKeyMemorySize[] = "MEMORYSIZE";
inline constexpr char kKeyDownMax[] = "DOWNMAX";

inline constexpr char kKeyInterface[] = "INTERFACE";
inline constexpr char kKeyPortName[] = "PORTNAME";
inline constexpr char kKeyBaudRate[] = "BAUDRATE";
inline constexpr char kKeyParity[] = "PARITY";
inline constexpr char kKeyDataBits[] = "DATABITS";
inline constexpr char kKeyStopBits[] = "STOPBITS";
inline constexpr char kKeyUsbPort[] = "USBPORT";
inline constexpr char kKeyIp1[] = "IP1";
inline constexpr char kKeyIp2[] = "IP2";
inline constexpr char kKeyIp3[] = "IP3";
inline constexpr char kKeyIp4[] = "IP4";
inline constexpr char kKeyTcpPort[] = "PORT";

// The model file the running program reads and writes:
// ResolveModelFilePath(QCoreApplication::applicationDirPath(), the per-user
// XDG config folder). Computed afresh by each caller, as every reader of the
// file does. Needs the application object.
QString ModelFilePath();

// Where a program in programFolder keeps its model file.
//
// The model file lies beside the executable, and a build tree or an unpacked
// copy keeps using it there: programFolder + "/NV.inf" while programFolder can
// be written and it either holds NV.inf or no installed model file exists.
//
// An installed program cannot write beside itself (/usr/bin), and its model
// file lies in ../share/markograph/NV.inf relative to the executable. Such a
// program (its folder cannot be written, or it has no NV.inf beside it while
// ../share/markograph/NV.inf exists) keeps a per-user copy,
// userConfigFolder + "/markograph/NV.inf" ($XDG_CONFIG_HOME/markograph/NV.inf),
// and reads and writes that. The copy is made on first use, byte for byte, from
// the installed file (NV.inf beside the executable first, else the shared
// one), and is never overwritten afterwards, so the operator's settings
// survive updates of the package.
//
// When the copy cannot be made (no config folder, no room, no permission) the
// installed file is returned: the program still reads the catalogue, and a
// write reports why it fails. Without any installed file the per-user path is
// returned; it reads as empty, and the first write creates it.
QString ResolveModelFilePath(const QString& programFolder, const QString& userConfigFolder);

// COMMON/DESCRIPTION, the caption of the main window and of the configuration
// dialog; "" when missing, at most 255 characters.
QString ReadDescription(const CProfileFile& file);
