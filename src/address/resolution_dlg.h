#pragma once

#include "framework/widgets/dialog.h"
#include "kinds/printer_kind.h"  // DotDensity

#include <array>

class QRadioButton;

// Asks for the dot density of a DOT MODE download (template 135, "Set
// resolution"): single, double or quad density, single chosen when it opens.
// OK closes it as accepted and Density() holds the choice; Escape or the close box close it as
// rejected, and the caller abandons the download.
//
// One object serves one question. User-interface thread only.
class CResolutionDlg : public CDialog {
    Q_OBJECT
public:
    explicit CResolutionDlg(QWidget* parent = nullptr);
    ~CResolutionDlg() override;

    // The density chosen; read it after exec() returned Accepted.
    DotDensity Density() const { return m_result; }

private:
    void CreateControls();
    void FitChoicesToTheirTexts();
    void ConnectControls();
    bool OnInitDialog() override;
    void OnOK();

    DotDensity m_result = DotDensity::Single;

    // Controls in the group's order (the densities' numbers), owned by the
    // dialog.
    std::array<QRadioButton*, 3> m_choices{};
};
