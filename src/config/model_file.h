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

// The model file lies beside the running executable:
// QCoreApplication::applicationDirPath() + "/NV.inf". Computed afresh by each
// caller, as every reader of the file does. Needs the application object.
QString ModelFilePath();

// COMMON/DESCRIPTION, the caption of the main window and of the configuration
// dialog; "" when missing, at most 255 characters.
QString ReadDescription(const CProfileFile& file);
