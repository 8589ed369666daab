#pragma once

// Resource ids of the address dialogs of two-colour printers: the address
// list (print side), the address download and its address prompt. A
// control's id is also its objectName (CDialog::Control). The Close, Exit and
// OK buttons use win::kIdOk (1), the prompt's Cancel win::kIdCancel (2).

// Address list: reads the addresses in use, prints and deletes by address.
inline constexpr int IDD_ADDRESS_LIST = 132;
inline constexpr int IDC_ADDR_LIST = 1043;          // list box, reply order
inline constexpr int IDC_ADDR_GET_LIST = 1044;      // "Get Address List"
inline constexpr int IDC_ADDR_REMOVE = 1045;        // "Remove" the selected address
inline constexpr int IDC_ADDR_REMOVE_ALL = 1046;    // "Remove All"
inline constexpr int IDC_ADDR_PRINT = 1047;         // "Print" the selected address
inline constexpr int IDC_ADDR_PRINT_ALL = 1048;     // "Print All" listed addresses
inline constexpr int IDC_ADDR_CUSTOM_PRINT = 1051;  // "Print" the custom address
inline constexpr int IDC_ADDR_CUSTOM = 1052;        // edit: the custom address, two characters

// Address download: stores the logo list under addresses.
inline constexpr int IDD_ADDRESS_DOWNLOAD = 133;
inline constexpr int IDC_ADDR_PROGRESS = 1021;       // progress bar, 10 steps per image
inline constexpr int IDC_ADDR_USED_LIST = 1073;      // list box, sorted: addresses in use
inline constexpr int IDC_ADDR_GET_ADDRESS = 1074;    // "Get Address"
inline constexpr int IDC_ADDR_USER_DOWNLOAD = 1075;  // "User Defined Address Download"
inline constexpr int IDC_ADDR_AUTO_DOWNLOAD = 1076;  // "Auto Address Download"
inline constexpr int IDC_ADDR_SAVE_FILE = 1077;      // "Save File.."
inline constexpr int IDC_ADDR_REMAINING = 1079;      // static: free NV memory in bytes
inline constexpr int IDC_ADDR_DELETE = 1080;         // "Delete Address": deletes every image
inline constexpr int IDC_ADDR_STATUS = 1081;         // static: "Downloding... name ( i / N ) "

// Address prompt of the user-defined download.
inline constexpr int IDD_ADDRESS_INPUT = 138;
inline constexpr int IDC_ADDR_INPUT = 1078;          // edit: the address, two characters
