#pragma once

// Resource ids of the configuration dialog behind "Port Setting". The OK and
// Cancel buttons use win::kIdOk (1) and win::kIdCancel (2).

// The dialog shows the application's icon, IDR_MAINFRAME (128).
inline constexpr int IDD_PORT_CONFIG = 103;  // the dialog template

// Step 1 and step 2.
inline constexpr int IDC_CONFIG_MODEL = 1000;      // combo: model names of the catalogue
inline constexpr int IDC_CONFIG_INTERFACE = 1001;  // combo: interfaces the model offers

// Step 3. Which of these are shown depends on the interface.
inline constexpr int IDC_CONFIG_BAUDRATE = 1002;        // combo
inline constexpr int IDC_CONFIG_DATABITS = 1003;        // combo
inline constexpr int IDC_CONFIG_STOPBITS = 1004;        // combo
inline constexpr int IDC_CONFIG_PARITY = 1005;          // combo
inline constexpr int IDC_CONFIG_BAUDRATE_LABEL = 1007;  // "Baudrate :", or "Port :" beside the TCP port
inline constexpr int IDC_CONFIG_DATABITS_LABEL = 1008;
inline constexpr int IDC_CONFIG_STOPBITS_LABEL = 1009;
inline constexpr int IDC_CONFIG_PARITY_LABEL = 1010;
inline constexpr int IDC_CONFIG_IP_ADDRESS = 1011;      // CIpAddressCtrl (Ethernet)
inline constexpr int IDC_CONFIG_TCP_PORT = 1012;        // edit (Ethernet)
inline constexpr int IDC_CONFIG_PORT_LABEL = 1013;      // "Port :", or "IP :" beside the address
inline constexpr int IDC_CONFIG_PORT = 1014;            // combo: COMn, LPTn or a discovered USB printer
