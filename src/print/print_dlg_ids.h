#pragma once

// Resource ids of the print dialog of single-colour thermal printers, which
// prints stored NV images by number. "E&xit" is win::kIdOk (1). A
// control's id is also its objectName (CDialog::Control).

inline constexpr int IDD_PRINT_DLG = 131;

// "Quality": the size mode m of FS p n m, 0 to 3 in this order.
inline constexpr int IDC_PRINTDLG_SINGLE_HIGH_WIDE = 1006;  // "Single &HighWide", 0
inline constexpr int IDC_PRINTDLG_DOUBLE_WIDE = 1001;       // "Double Wide", 1
inline constexpr int IDC_PRINTDLG_DOUBLE_HIGH = 1008;       // "Double High", 2
inline constexpr int IDC_PRINTDLG_DOUBLE_HIGH_WIDE = 1007;  // "Double HighWide", 3

// "Header": a text line before each image or none.
inline constexpr int IDC_PRINTDLG_NONE_HEADER = 1023;  // 0
inline constexpr int IDC_PRINTDLG_ADD_HEADER = 1024;   // 1

// "Printing Range": every number 1 to 255, or the typed selection.
inline constexpr int IDC_PRINTDLG_ALL = 1025;             // 0
inline constexpr int IDC_PRINTDLG_SELECTION = 1026;       // 1
inline constexpr int IDC_PRINTDLG_SELECTION_TEXT = 1027;  // edit, such as "1-3,7"

inline constexpr int IDC_PRINTDLG_PRINT = 1022;  // "&Print"
inline constexpr int IDC_PRINTDLG_EXIT = 1;      // "E&xit" (win::kIdOk)
