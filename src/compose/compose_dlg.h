#pragma once

#include "compose/logo_composer.h"
#include "framework/widgets/dialog.h"

#include <QImage>

#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

// Composes a logo (template 150, "Compose Logo"): the result at print size
// (one screen pixel per dot, DOT MODE dots as large as they print) beside
// the settings: text lines, font, size, bold, alignment, spacing, the QR
// code's content, level and position, the inks of a two-colour printer and
// an optional picture. The result follows every change. OK writes the BMP
// into the per-user logos folder and closes as accepted; Cancel writes
// nothing. User-interface thread only.
class CComposeDlg : public CDialog {
    Q_OBJECT
public:
    // initial holds the printer kind, printable width and density, and the
    // picture's fit and tones.
    explicit CComposeDlg(const ImportSettings& initial, QWidget* parent = nullptr);
    ~CComposeDlg() override;

    const ComposeLayout& Layout() const { return m_layout; }
    // The current result; nothing while the settings give none.
    const std::optional<ComposedLogo>& Result() const { return m_result; }
    // Where OK wrote the BMP; empty before.
    const QString& SavedPath() const { return m_savedPath; }

    // Runs the dialog and returns the written BMP's path with the settings
    // to add it with; nothing when cancelled.
    static std::optional<QString> ComposeFile(const ImportSettings& initial, QWidget* parent, LogoSettings* settings);

private:
    void CreateControls();
    void ConnectControls();
    bool OnInitDialog() override;
    void OnSettingsChanged();
    void OnBrowse();
    void OnNoPicture();
    void OnOK();
    void ReadControls();
    void ShowResult(const QString& error);

    ImportSettings m_settings;
    ComposeLayout m_layout;
    QImage m_picture;
    std::optional<ComposedLogo> m_result;
    QString m_savedPath;

    QLabel* m_resultView = nullptr;
    QLabel* m_info = nullptr;
    QPlainTextEdit* m_text = nullptr;
    QComboBox* m_font = nullptr;
    QLineEdit* m_size = nullptr;
    QCheckBox* m_bold = nullptr;
    QComboBox* m_align = nullptr;
    QLineEdit* m_spacing = nullptr;
    QCheckBox* m_shrink = nullptr;
    QComboBox* m_textInk = nullptr;
    QLineEdit* m_qr = nullptr;
    QComboBox* m_qrLevel = nullptr;
    QComboBox* m_qrPosition = nullptr;
    QComboBox* m_qrInk = nullptr;
    QLineEdit* m_picturePath = nullptr;
};
