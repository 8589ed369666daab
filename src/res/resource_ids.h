#pragma once

// Resource ids of the desktop program: dialog templates, strings, the icon,
// menu commands and every control a dialog addresses. A control's id is also
// its objectName (CDialog::Control), so tests and code reach it by these names.

// Dialog templates, strings, icon.
inline constexpr int IDD_ABOUTBOX = 100;
inline constexpr int IDS_ABOUTBOX = 101;         // "&About MARKO3..."
inline constexpr int IDD_MAINDLG_DIALOG = 102;
inline constexpr int IDR_MAINFRAME = 128;        // the application icon

// Window menu command of the About item. Commands of the window menu keep
// their low four bits free, so the handler compares with them cleared.
inline constexpr int IDM_ABOUTBOX = 0x0010;

// The main window's "EXIT" button and the About box's "OK" button end their
// dialog, as the framework's OK id does.
inline constexpr int IDC_EXIT = 1;
inline constexpr int IDC_ABOUT_OK = 1;

// Main window: configuration.
inline constexpr int IDC_PORT_SETTING = 1003;
inline constexpr int IDC_LABEL_PRINTER = 1056;
inline constexpr int IDC_LABEL_DOWNLOAD_MODE = 1062;
inline constexpr int IDC_LABEL_INTERFACE = 1057;
inline constexpr int IDC_LABEL_PORT = 1058;
inline constexpr int IDC_LABEL_BAUDRATE = 1007;  // "Baudrate :", or "Port :" for Ethernet
inline constexpr int IDC_LABEL_DATABITS = 1059;
inline constexpr int IDC_LABEL_PARITY = 1060;
inline constexpr int IDC_LABEL_STOPBITS = 1061;
inline constexpr int IDC_MODEL_NAME = 1063;
inline constexpr int IDC_DOWNLOAD_MODE = 1064;
inline constexpr int IDC_INTERFACE = 1065;
inline constexpr int IDC_PORT_NAME = 1066;       // port name, or the IP address for Ethernet
inline constexpr int IDC_BAUDRATE = 1067;        // baud rate, or the TCP port for Ethernet
inline constexpr int IDC_DATABITS = 1068;
inline constexpr int IDC_PARITY = 1069;
inline constexpr int IDC_STOPBITS = 1070;

// Main window: logo list.
inline constexpr int IDC_LOGO_LIST = 1005;
inline constexpr int IDC_SUMMARY = 1006;
inline constexpr int IDC_OPEN_FILE = 1008;
inline constexpr int IDC_REMOVE = 1009;
inline constexpr int IDC_RESET = 1010;
inline constexpr int IDC_DOWNLOAD = 1011;
inline constexpr int IDC_PRINT = 1013;

// Main window: colour controls and preview.
inline constexpr int IDC_THRESHOLD_VALUE = 1021;
inline constexpr int IDC_R_VALUE = 1022;
inline constexpr int IDC_L_VALUE = 1023;
inline constexpr int IDC_THRESHOLD_SLIDER = 1027;
inline constexpr int IDC_R_SLIDER = 1028;
inline constexpr int IDC_L_SLIDER = 1029;
inline constexpr int IDC_THRESHOLD_SWATCH = 1030;
inline constexpr int IDC_R_SWATCH = 1031;
inline constexpr int IDC_L_SWATCH = 1032;
inline constexpr int IDC_COLOR_RED = 1033;
inline constexpr int IDC_COLOR_GREEN = 1034;
inline constexpr int IDC_COLOR_BLUE = 1035;
inline constexpr int IDC_COLOR_NOT_USED = 1036;
inline constexpr int IDC_INVERT = 1037;
inline constexpr int IDC_PREVIEW = 1038;
inline constexpr int IDC_R_CARTRIDGE_SWATCH = 1040;
inline constexpr int IDC_L_CARTRIDGE_SWATCH = 1041;

// About box.
inline constexpr int IDC_ABOUT_ICON = 1100;
inline constexpr int IDC_ABOUT_NAME = 1101;
inline constexpr int IDC_ABOUT_VERSION = 1102;
inline constexpr int IDC_ABOUT_PURPOSE = 1103;
