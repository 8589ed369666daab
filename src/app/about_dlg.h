#pragma once

#include "framework/widgets/dialog.h"

// The About box (template IDD_ABOUTBOX): the program's name, its version and
// what it does; "OK" or Escape closes it.
class CAboutDlg : public CDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};
