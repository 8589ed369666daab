#pragma once

#include "framework/widgets/dialog_template.h"

// The main window's template (IDD_MAINDLG_DIALOG): every control with its id,
// kind, caption and rectangle in dialog units, Arial 8, 500 x 351.
DialogTemplate MainDlgTemplate();
