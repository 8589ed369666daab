#pragma once

#include "app/preview_source.h"
#include "framework/colorref.h"
#include "imaging/separation_colors.h"
#include "logos/logo_list.h"

#include <QObject>
#include <QRect>

#include <functional>

class QButtonGroup;
class QCheckBox;
class QImage;
class QLineEdit;
class QPainter;
class QSlider;
class CDialog;

// The colour half of the main window: the THRESHOLD, R Value and L Value
// sliders with their value boxes and swatches, the colour radios, the invert
// box, the cartridge swatches and the preview. It works on the controls the
// window's template created (found by id below the dialog, which keeps
// owning them) and holds their state; the window hands it the logo a
// released slider writes to and the logo the preview shows. Everything runs
// on the window's thread.
class CColorPanel : public QObject {
public:
    // How the panel reaches the window's logos; either may return null.
    struct Logos {
        std::function<LogoEntry*()> current;       // takes the settings of a released slider
        std::function<const LogoEntry*()> shown;   // the one the preview shows
    };

    CColorPanel(CDialog* dialog, Logos logos);

    // The state of a freshly opened window: Red, THRESHOLD 0, R Value and
    // L Value 100, invert off, the swatches filled.
    void OnInitDialog();

    // Enables the controls for a printer kind (two inks: all of them; one
    // ink: only "Not Used", which becomes the choice) and shows the preview
    // as that kind prints it.
    void EnableForModel(const CModelType& modelType);

    // Shows a logo's own settings; the second ink and the cartridge swatches
    // follow its choice, and the preview is drawn again.
    void ShowLogo(const LogoEntry& entry);

    // The settings a newly added logo takes: those on show.
    LogoSettings CurrentSettings() const;
    const SeparationColors& Colors() const { return m_colors; }
    ColorChoice Choice() const { return m_colorChoice; }

    // Separates the preview now and asks the window to repaint it; the
    // window's paint then only copies it with PaintPreview.
    void DrawPreview();
    void PaintPreview(QPainter& painter);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ConnectControls();
    void InitSliders();
    // Moves the values between the controls and the members: true reads
    // the controls, false shows the members.
    void UpdateData(bool saveAndValidate);
    void UpdateColorSettings();
    const QImage& RenderPreview();
    void SaveEntrySettings();
    void OnSliderReleased();
    void OnInvertCheck();
    void OnColorClicked(int id);
    void OnColorChosen(ColorChoice choice);
    void FillSwatch(int controlId, win::COLORREF colour);
    void FillSwatches();

    CDialog* m_dialog;
    Logos m_logos;

    // Controls, found by id once and owned by the dialog through their Qt
    // parent.
    QSlider* const m_thresholdSlider;
    QSlider* const m_rSlider;
    QSlider* const m_lSlider;
    QLineEdit* const m_thresholdEdit;
    QLineEdit* const m_rEdit;
    QLineEdit* const m_lEdit;
    QButtonGroup* const m_colorGroup;
    QCheckBox* const m_invertCheck;

    // Bound values (UpdateData).
    int m_threshold = 0;
    int m_rValue = 0;
    int m_lValue = 0;
    ColorChoice m_colorChoice = ColorChoice::Red;
    bool m_invert = false;

    // Colour state that is not stored per logo, and the swatches.
    SeparationColors m_colors;
    win::COLORREF m_rSwatch = win::MakeColorRef(0, 0, 0);
    win::COLORREF m_lSwatch = win::MakeColorRef(0, 0, 0);
    win::COLORREF m_thresholdSwatch = win::MakeColorRef(0, 0, 0);
    win::COLORREF m_rCartridgeSwatch = win::MakeColorRef(255, 0, 0);
    win::COLORREF m_lCartridgeSwatch = win::MakeColorRef(0, 0, 0);

    // The preview: where it is drawn, for which printer kind, and its image.
    QRect m_previewRect;
    CModelType m_modelType;
    CPreviewSource m_preview;
};
