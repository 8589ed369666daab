#pragma once

#include "framework/widgets/dialog.h"
#include "import/picture_importer.h"

#include <QImage>

#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QSlider;

// Imports one picture as a logo (template 140, "Import Picture"): the picture
// and the result side by side at print size (one screen pixel per printer
// dot, DOT MODE dots drawn as large as they print), with the size, method and
// tone settings; the result follows every slider as it moves. OK writes the
// BMP into the per-user logos folder and closes as accepted; Cancel or Escape
// writes nothing.
//
// Each change re-runs the tones on the picture already fitted to its size
// (a few milliseconds for a receipt-wide logo); only a new width, rotation or
// density fits it again. User-interface thread only.
class CImportDlg : public CDialog {
    Q_OBJECT
public:
    // picture is the loaded source (LoadPicture); sourcePath names the file it
    // came from; initial holds the printer kind, printable width and density.
    CImportDlg(const QString& sourcePath, const QImage& picture, const ImportSettings& initial,
               QWidget* parent = nullptr);
    ~CImportDlg() override;

    const ImportSettings& Settings() const { return m_settings; }
    // The current result; nothing while the settings give none.
    const std::optional<ImportedLogo>& Result() const { return m_result; }
    // Where OK wrote the BMP; empty before.
    const QString& SavedPath() const { return m_savedPath; }

    // Loads the picture, runs the dialog and returns the written BMP's path
    // with the settings to add it with; nothing when cancelled or when the
    // picture cannot be read (then "Failed to load image file!" is shown).
    static std::optional<QString> ImportFile(const QString& path, const ImportSettings& initial, QWidget* parent,
                                             LogoSettings* settings);

private:
    void CreateControls();
    void ConnectControls();
    // Shows the settings in the controls and the result they give.
    bool OnInitDialog() override;
    void OnSettingsChanged();
    void OnOK();
    void ReadControls();
    void ShowResult(const QString& error);

    QString m_sourcePath;
    QImage m_picture;
    ImportSettings m_settings;
    // The picture fitted for the size settings it was fitted with.
    std::optional<QImage> m_prepared;
    ImportSettings m_preparedFor;
    std::optional<ImportedLogo> m_result;
    QString m_savedPath;

    QLabel* m_sourceView = nullptr;
    QLabel* m_resultView = nullptr;
    QLabel* m_info = nullptr;
    QLineEdit* m_width = nullptr;
    QCheckBox* m_rotate = nullptr;
    QComboBox* m_method = nullptr;
    QComboBox* m_ink = nullptr;
    QComboBox* m_density = nullptr;
    QSlider* m_level = nullptr;
    QSlider* m_brightness = nullptr;
    QSlider* m_contrast = nullptr;
    QSlider* m_gamma = nullptr;
};
