#pragma once

// Resource ids of the upload dialog (single-colour thermal and DOT MODE
// downloads). Its close button "&Cancel" carries win::kIdOk (1),
// so closing with it ends the dialog as accepted; the result is not used.
// A control's id is also its objectName (CDialog::Control).

inline constexpr int IDD_UPLOAD = 130;
inline constexpr int IDC_UPLOAD_START = 1071;      // "Download Start"
inline constexpr int IDC_UPLOAD_SAVE_FILE = 1072;  // "Save File.."
inline constexpr int IDC_UPLOAD_CLOSE = 1;         // "&Cancel" (win::kIdOk)
inline constexpr int IDC_UPLOAD_PROGRESS = 1021;   // progress bar, 10 steps per item
inline constexpr int IDC_UPLOAD_STATUS = 1039;     // static: the status line
