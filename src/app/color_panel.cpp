#include "app/color_panel.h"

#include "app/swatch_colors.h"
#include "framework/widgets/dialog.h"
#include "logos/logo_renderer.h"
#include "operations/printer_kind_table.h"
#include "res/resource_ids.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPalette>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>

#include <algorithm>
#include <iterator>

namespace {

constexpr Rgb kBlack{0, 0, 0};

// Keys with which a slider moves itself.
bool MovesSlider(int key)
{
    static constexpr int kSliderKeys[] = {Qt::Key_Left,   Qt::Key_Right,    Qt::Key_Up,   Qt::Key_Down,
                                          Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Home, Qt::Key_End};
    return std::find(std::begin(kSliderKeys), std::end(kSliderKeys), key) != std::end(kSliderKeys);
}

// The moments a slider move is finished: the mouse lets go of it (after a
// drag or a click on its groove), the last key of a press or of an
// auto-repeat burst comes up, or a wheel step has moved it.
bool EndsSliderMove(const QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonRelease:
    case QEvent::Wheel:
        return true;
    case QEvent::KeyRelease: {
        const auto* key = static_cast<const QKeyEvent*>(event);
        return !key->isAutoRepeat() && MovesSlider(key->key());
    }
    default:
        return false;
    }
}

}  // namespace

CColorPanel::CColorPanel(CDialog* dialog, Logos logos)
    : m_dialog(dialog),
      m_logos(std::move(logos)),
      m_thresholdSlider(dialog->Control<QSlider>(IDC_THRESHOLD_SLIDER)),
      m_rSlider(dialog->Control<QSlider>(IDC_R_SLIDER)),
      m_lSlider(dialog->Control<QSlider>(IDC_L_SLIDER)),
      m_thresholdEdit(dialog->Control<QLineEdit>(IDC_THRESHOLD_VALUE)),
      m_rEdit(dialog->Control<QLineEdit>(IDC_R_VALUE)),
      m_lEdit(dialog->Control<QLineEdit>(IDC_L_VALUE)),
      m_colorGroup(dialog->Control<QRadioButton>(IDC_COLOR_RED)->group()),
      m_invertCheck(dialog->Control<QCheckBox>(IDC_INVERT))
{
    // The logo is drawn inside the frame's black line, so that its first row
    // and column are not hidden under it.
    const auto* previewFrame = dialog->Control<QFrame>(IDC_PREVIEW);
    m_previewRect = previewFrame->contentsRect().translated(previewFrame->pos());
    ConnectControls();
}

void CColorPanel::ConnectControls()
{
    // Only the operator's click counts, not the box following UpdateData.
    connect(m_invertCheck, &QCheckBox::clicked, this, &CColorPanel::OnInvertCheck);
    connect(m_colorGroup, &QButtonGroup::idClicked, this, &CColorPanel::OnColorClicked);
    // A slider acts when a move ends: the mouse lets go, or the keys come up.
    for (QSlider* slider : {m_thresholdSlider, m_rSlider, m_lSlider})
        slider->installEventFilter(this);
}

void CColorPanel::OnInitDialog()
{
    InitSliders();
    m_threshold = 0;
    m_rValue = kDefaultRValue;
    m_lValue = 100;
    m_colorChoice = ColorChoice::Red;
    m_colors = SeparationColors{};
    m_rCartridgeSwatch = win::MakeColorRef(255, 0, 0);
    m_lCartridgeSwatch = win::MakeColorRef(0, 0, 0);
    UpdateData(false);
    UpdateColorSettings();
}

void CColorPanel::InitSliders()
{
    m_rSlider->setRange(0, 255);
    m_rSlider->setValue(kDefaultRValue);
    m_lSlider->setRange(0, 255);
    m_lSlider->setValue(100);
    m_thresholdSlider->setRange(0, 360);
    m_thresholdSlider->setValue(0);
    for (QSlider* slider : {m_thresholdSlider, m_rSlider, m_lSlider}) {
        slider->setSingleStep(1);
        slider->setPageStep(1);
    }
}

void CColorPanel::EnableForModel(const CModelType& modelType)
{
    m_modelType = modelType;
    UpdateData(true);
    // A kind the program does not know leaves the controls as they are.
    if (const PrinterKindEntry* kind = KindEntry(modelType)) {
        const bool twoInks = kind->secondInk;
        // "Not Used" stays enabled: it is the choice of single-ink models.
        for (QWidget* control : std::initializer_list<QWidget*>{
                 m_colorGroup->button(IDC_COLOR_RED), m_colorGroup->button(IDC_COLOR_BLUE),
                 m_colorGroup->button(IDC_COLOR_GREEN), m_invertCheck, m_thresholdSlider, m_rSlider, m_lSlider})
            control->setEnabled(twoInks);
        // Their value boxes and labels grey out with them, and a greyed box
        // leaves the tab order.
        for (QLineEdit* edit : {m_thresholdEdit, m_rEdit, m_lEdit}) {
            edit->setEnabled(twoInks);
            for (QLabel* label : m_dialog->findChildren<QLabel*>()) {
                if (label->buddy() == edit)
                    label->setEnabled(twoInks);
            }
        }
        m_colorChoice = twoInks ? ColorChoice::Red : ColorChoice::NotUsed;
    }
    UpdateData(false);
}

void CColorPanel::UpdateData(bool saveAndValidate)
{
    if (saveAndValidate) {
        m_lValue = m_lEdit->text().toInt();
        m_rValue = m_rEdit->text().toInt();
        m_threshold = m_thresholdEdit->text().toInt();
        // No radio is checked only while a logo's stored number is none of
        // the four: the choice stays that number, so the logo keeps it.
        if (const int checked = m_colorGroup->checkedId(); checked >= 0)
            m_colorChoice = static_cast<ColorChoice>(checked - IDC_COLOR_RED);
        m_invert = m_invertCheck->isChecked();
        return;
    }
    m_lEdit->setText(QString::number(m_lValue));
    m_rEdit->setText(QString::number(m_rValue));
    m_thresholdEdit->setText(QString::number(m_threshold));
    if (QAbstractButton* radio = m_colorGroup->button(IDC_COLOR_RED + ToStoredNumber(m_colorChoice))) {
        radio->setChecked(true);
    } else if (QAbstractButton* checked = m_colorGroup->checkedButton()) {
        // No choice: an exclusive group cannot be cleared otherwise.
        m_colorGroup->setExclusive(false);
        checked->setChecked(false);
        m_colorGroup->setExclusive(true);
    }
    m_invertCheck->setChecked(m_invert);
}

void CColorPanel::UpdateColorSettings()
{
    UpdateData(true);
    m_rValue = m_rSlider->value();
    m_rSwatch = RValueSwatch(m_rValue, m_colorChoice, m_rSwatch);
    m_lValue = m_lSlider->value();
    m_lSwatch = LValueSwatch(m_lValue, m_invert, m_colors.lColor, m_lSwatch);
    // The slider reaches 360 so that the whole circle can be swept; 360 is 0.
    m_threshold = m_thresholdSlider->value();
    if (m_threshold == 360)
        m_threshold = 0;
    m_thresholdSwatch = HueColor(m_threshold).ToColorRef();
    UpdateData(false);
    FillSwatches();
}

LogoSettings CColorPanel::CurrentSettings() const
{
    return {m_threshold, m_rValue, m_lValue, m_colorChoice};
}

// The controls show a logo's own settings, and the second ink and the
// cartridge swatches follow its choice.
void CColorPanel::ShowLogo(const LogoEntry& entry)
{
    m_thresholdSlider->setValue(entry.threshold);
    m_rSlider->setValue(entry.rValue);
    m_lSlider->setValue(entry.lValue);
    m_colorChoice = entry.colorMode;
    UpdateData(false);
    if (const ColorChoiceRule* rule = FindColorChoiceRule(m_colorChoice)) {
        if (m_invert)
            m_colors.lColor = rule->ink;
        if (IsColorInk(rule->choice))
            m_rCartridgeSwatch = rule->ink.ToColorRef();
        else
            m_lCartridgeSwatch = win::MakeColorRef(0, 0, 0);
    }
    UpdateColorSettings();
    DrawPreview();
}

// The preview shows the logo on show as a download now would store it: with
// its own stored settings and the window's shared colours, never with
// control values the logo does not hold (a radio set by a model switch, a
// slider that has not been applied). Without one it stays blank.
const QImage& CColorPanel::RenderPreview()
{
    const LogoEntry* entry = m_logos.shown();
    if (!entry)
        return m_preview.Render(QString(), m_previewRect.size(), SeparationInputs{}, m_modelType);
    return m_preview.Render(entry->path, m_previewRect.size(), MakeEntryInputs(*entry, m_colors), m_modelType);
}

void CColorPanel::DrawPreview()
{
    RenderPreview();
    m_dialog->update(m_previewRect);
}

void CColorPanel::PaintPreview(QPainter& painter)
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
void CColorPanel::FillSwatch(int controlId, win::COLORREF colour)
{
    QWidget* swatch = m_dialog->Control(controlId);
    QPalette palette = swatch->palette();
    palette.setColor(QPalette::Window, QColor(win::RedOf(colour), win::GreenOf(colour), win::BlueOf(colour)));
    palette.setColor(QPalette::WindowText, Qt::black);
    swatch->setPalette(palette);
    swatch->setAutoFillBackground(true);
}

void CColorPanel::FillSwatches()
{
    FillSwatch(IDC_R_SWATCH, m_rSwatch);
    FillSwatch(IDC_L_SWATCH, m_lSwatch);
    FillSwatch(IDC_THRESHOLD_SWATCH, m_thresholdSwatch);
    FillSwatch(IDC_L_CARTRIDGE_SWATCH, m_lCartridgeSwatch);
    FillSwatch(IDC_R_CARTRIDGE_SWATCH, m_rCartridgeSwatch);
}

void CColorPanel::SaveEntrySettings()
{
    LogoEntry* entry = m_logos.current();
    if (!entry)
        return;
    entry->lValue = static_cast<std::uint8_t>(m_lValue);
    entry->rValue = static_cast<std::uint8_t>(m_rValue);
    entry->colorMode = m_colorChoice;
    entry->threshold = m_threshold;
}

// The logo takes the settings before the preview is drawn from it.
void CColorPanel::OnSliderReleased()
{
    UpdateColorSettings();
    SaveEntrySettings();
    DrawPreview();
}

// Clearing the box does not give the L colour back: it runs the choice's
// radio, which with invert off moves the sliders.
void CColorPanel::OnInvertCheck()
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
    if (IsColorInk(m_colorChoice))
        OnColorChosen(m_colorChoice);
}

void CColorPanel::OnColorClicked(int id)
{
    OnColorChosen(static_cast<ColorChoice>(id - IDC_COLOR_RED));
}

// With invert on, the radio picks the colour the dark pixels print in; with
// it off, it picks the colour ink and moves the sliders to its hue. Not Used
// has no colour ink: it blackens the L cartridge, and with invert on the R
// cartridge as well.
void CColorPanel::OnColorChosen(ColorChoice choice)
{
    const ColorChoiceRule* rule = FindColorChoiceRule(choice);
    if (!rule)
        return;
    const bool colourInk = IsColorInk(choice);
    if (m_invert) {
        m_colors.lColor = rule->ink;
        if (!colourInk)
            m_rCartridgeSwatch = win::MakeColorRef(0, 0, 0);
    } else {
        m_thresholdSlider->setValue(rule->hue);
        m_rSlider->setValue(kDefaultRValue);
        if (colourInk)
            m_rCartridgeSwatch = rule->ink.ToColorRef();
    }
    if (!colourInk)
        m_lCartridgeSwatch = win::MakeColorRef(0, 0, 0);
    OnSliderReleased();
}

bool CColorPanel::eventFilter(QObject* watched, QEvent* event)
{
    // The slider handles the event first (a drag's last position, the key's
    // step), then the panel reads it.
    auto* slider = qobject_cast<QSlider*>(watched);
    if (slider && slider->isEnabled() && EndsSliderMove(event))
        QTimer::singleShot(0, this, &CColorPanel::OnSliderReleased);
    return QObject::eventFilter(watched, event);
}
