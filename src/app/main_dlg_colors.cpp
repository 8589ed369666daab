#include "app/main_dlg.h"

#include "app/swatch_colors.h"
#include "framework/widgets/control_ids.h"
#include "res/resource_ids.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QPainter>
#include <QPalette>
#include <QSlider>

namespace {

constexpr Rgb kBlack{0, 0, 0};

// Slider positions the colour radios choose: the hue angles of red, green
// and blue, and the R Value every choice starts from.
constexpr int kHueRed = 0;
constexpr int kHueGreen = 120;
constexpr int kHueBlue = 240;
constexpr int kDefaultRValue = 100;

}  // namespace

void CMainDlg::UpdateColorSettings()
{
    UpdateData(true);
    m_rValue = m_rSlider->value();
    m_rSwatch = RValueSwatch(m_rValue, m_colorChoice, m_rSwatch);
    m_lValue = m_lSlider->value();
    m_lSwatch = LValueSwatch(m_lValue, m_invert != 0, m_colors.lColor, m_lSwatch);
    // The slider reaches 360 so that the whole circle can be swept; 360 is 0.
    m_threshold = m_thresholdSlider->value();
    if (m_threshold == 360)
        m_threshold = 0;
    m_colors.hueColor = HueColor(m_threshold);
    m_thresholdSwatch = m_colors.hueColor.ToColorRef();
    UpdateData(false);
    FillSwatches();
}

// The preview shows the current logo as a download now would store it: with
// its own stored settings and the window's shared colours, never with
// control values the logo does not hold (a radio set by a model switch, a
// slider that has not been applied). Without a current logo it stays blank.
LogoEntry* CMainDlg::PreviewEntry()
{
    LogoEntry* entry = m_logos.FindByNumber(m_logos.CurrentEntryNumber());
    return entry && !m_previewPath.isEmpty() && entry->path == m_previewPath ? entry : nullptr;
}

const QImage& CMainDlg::RenderPreview()
{
    const LogoEntry* entry = PreviewEntry();
    if (!entry)
        return m_preview.Render(QString(), m_previewRect.size(), SeparationInputs{}, m_config.modelType);
    return m_preview.Render(entry->path, m_previewRect.size(), MakeEntryInputs(*entry, m_colors), m_config.modelType);
}

// Separates the preview now, so that the paint which follows only copies it.
void CMainDlg::DrawPreview()
{
    RenderPreview();
    update(m_previewRect);
}

void CMainDlg::PaintPreview(QPainter& painter)
{
    const QImage& image = RenderPreview();
    if (image.isNull())
        return;
    painter.save();
    painter.setClipRect(m_previewRect);
    painter.drawImage(m_previewRect.topLeft(), image);
    painter.restore();
}

// The swatch frames fill themselves with their palette's window colour:
// painted from the window underneath, they would be tinted by the group
// boxes that lie over them.
void CMainDlg::FillSwatch(int controlId, COLORREF colour)
{
    QWidget* swatch = FindControl(this, controlId);
    QPalette palette = swatch->palette();
    palette.setColor(QPalette::Window, QColor(GetRValue(colour), GetGValue(colour), GetBValue(colour)));
    palette.setColor(QPalette::WindowText, Qt::black);
    swatch->setPalette(palette);
    swatch->setAutoFillBackground(true);
}

void CMainDlg::FillSwatches()
{
    FillSwatch(IDC_R_SWATCH, m_rSwatch);
    FillSwatch(IDC_L_SWATCH, m_lSwatch);
    FillSwatch(IDC_THRESHOLD_SWATCH, m_thresholdSwatch);
    FillSwatch(IDC_L_CARTRIDGE_SWATCH, m_lCartridgeSwatch);
    FillSwatch(IDC_R_CARTRIDGE_SWATCH, m_rCartridgeSwatch);
}

void CMainDlg::SaveEntrySettings()
{
    LogoEntry* entry = m_logos.FindByNumber(m_logos.CurrentEntryNumber());
    if (!entry)
        return;
    entry->lValue = static_cast<std::uint8_t>(m_lValue);
    entry->rValue = static_cast<std::uint8_t>(m_rValue);
    entry->colorMode = m_colorChoice;
    entry->threshold = m_threshold;
}

// The logo takes the settings before the preview is drawn from it.
void CMainDlg::OnSliderReleased()
{
    UpdateColorSettings();
    SaveEntrySettings();
    DrawPreview();
}

void CMainDlg::SetSliderPosition(QSlider* slider, int position)
{
    slider->setValue(position);
}

void CMainDlg::OnInvertCheck()
{
    UpdateData(true);
    QAbstractButton* notUsed = m_colorGroup->button(IDC_COLOR_NOT_USED);
    if (m_invert) {
        notUsed->setText(QStringLiteral("Black Only"));
        m_colors.lColor = kBlack;
    } else {
        notUsed->setText(QStringLiteral("Not Used"));
    }
    UpdateData(false);
    switch (m_colorChoice) {
    case kColorModeRed:
        OnColorRed();
        break;
    case kColorModeGreen:
        OnColorGreen();
        break;
    case kColorModeBlue:
        OnColorBlue();
        break;
    default:
        break;
    }
}

void CMainDlg::OnColorClicked(int id)
{
    switch (id) {
    case IDC_COLOR_RED:
        OnColorRed();
        break;
    case IDC_COLOR_GREEN:
        OnColorGreen();
        break;
    case IDC_COLOR_BLUE:
        OnColorBlue();
        break;
    case IDC_COLOR_NOT_USED:
        OnColorNotUsed();
        break;
    default:
        break;
    }
}

// With invert on, the radio picks the colour the dark pixels print in; with
// it off, it picks the colour ink and moves the sliders to its hue.
void CMainDlg::OnColorRed()
{
    if (m_invert) {
        m_colors.lColor = m_colors.palette[kColorModeRed];
    } else {
        SetSliderPosition(m_thresholdSlider, kHueRed);
        SetSliderPosition(m_rSlider, kDefaultRValue);
        m_rCartridgeSwatch = RGB(255, 0, 0);
    }
    OnSliderReleased();
}

void CMainDlg::OnColorGreen()
{
    if (m_invert) {
        m_colors.lColor = m_colors.palette[kColorModeGreen];
    } else {
        SetSliderPosition(m_thresholdSlider, kHueGreen);
        SetSliderPosition(m_rSlider, kDefaultRValue);
        m_rCartridgeSwatch = RGB(0, 255, 0);
    }
    OnSliderReleased();
}

void CMainDlg::OnColorBlue()
{
    if (m_invert) {
        m_colors.lColor = m_colors.palette[kColorModeBlue];
    } else {
        SetSliderPosition(m_thresholdSlider, kHueBlue);
        SetSliderPosition(m_rSlider, kDefaultRValue);
        m_rCartridgeSwatch = RGB(0, 0, 255);
    }
    OnSliderReleased();
}

void CMainDlg::OnColorNotUsed()
{
    if (m_invert) {
        m_colors.lColor = kBlack;
        m_rCartridgeSwatch = RGB(0, 0, 0);
    } else {
        SetSliderPosition(m_thresholdSlider, kHueRed);
        SetSliderPosition(m_rSlider, kDefaultRValue);
    }
    m_lCartridgeSwatch = RGB(0, 0, 0);
    OnSliderReleased();
}
