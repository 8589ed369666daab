#include "import/import_dlg.h"

#include "framework/message_box.h"
#include "framework/widgets/dialog_template.h"
#include "framework/widgets/picture_view.h"
#include "import/import_dlg_ids.h"
#include "import/picture_loader.h"
#include "import/picture_scaler.h"
#include "framework/outcome.h"
#include "operations/printer_kind_table.h"

#include <QCheckBox>
#include <QComboBox>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>

#include <cmath>
#include <vector>

namespace {

DialogTemplate ImportTemplate()
{
    using K = ControlKind;
    return {QStringLiteral("Import Picture"), QStringLiteral("Arial"), 8, 680, 300,
            {
                {-1, K::Static, QStringLiteral("Picture"), 7, 5, 100, 9},
                {-1, K::Static, QStringLiteral("Result (as printed)"), 343, 5, 150, 9},
                {IDC_IMPORT_SOURCE, K::Custom, {}, 7, 15, 330, 195},
                {IDC_IMPORT_RESULT, K::Custom, {}, 343, 15, 330, 195},
                {-1, K::Static, QStringLiteral("Width (dots):"), 7, 220, 45, 9},
                {IDC_IMPORT_WIDTH, K::Edit, {}, 55, 218, 40, 12},
                {IDC_IMPORT_ROTATE, K::CheckBox, QStringLiteral("Rotate 90 degrees"), 105, 219, 75, 10},
                {-1, K::Static, QStringLiteral("Method:"), 185, 220, 28, 9},
                {IDC_IMPORT_METHOD, K::ComboBox, {}, 215, 218, 80, 12},
                {-1, K::Static, QStringLiteral("Ink:"), 305, 220, 18, 9},
                {IDC_IMPORT_INK, K::ComboBox, {}, 325, 218, 50, 12},
                {-1, K::Static, QStringLiteral("Density:"), 385, 220, 30, 9},
                {IDC_IMPORT_DENSITY, K::ComboBox, {}, 415, 218, 60, 12},
                {IDC_IMPORT_INFO, K::Static, {}, 485, 220, 188, 9},
                {-1, K::Static, QStringLiteral("Level"), 7, 240, 45, 9},
                {IDC_IMPORT_LEVEL, K::Slider, {}, 55, 238, 120, 14},
                {IDC_IMPORT_LEVEL_TEXT, K::Static, {}, 178, 240, 25, 9},
                {-1, K::Static, QStringLiteral("Brightness"), 210, 240, 45, 9},
                {IDC_IMPORT_BRIGHTNESS, K::Slider, {}, 258, 238, 120, 14},
                {IDC_IMPORT_BRIGHTNESS_TEXT, K::Static, {}, 381, 240, 25, 9},
                {-1, K::Static, QStringLiteral("Contrast"), 7, 258, 45, 9},
                {IDC_IMPORT_CONTRAST, K::Slider, {}, 55, 256, 120, 14},
                {IDC_IMPORT_CONTRAST_TEXT, K::Static, {}, 178, 258, 25, 9},
                {-1, K::Static, QStringLiteral("Gamma"), 210, 258, 45, 9},
                {IDC_IMPORT_GAMMA, K::Slider, {}, 258, 256, 120, 14},
                {IDC_IMPORT_GAMMA_TEXT, K::Static, {}, 381, 258, 25, 9},
                {win::kIdOk, K::DefaultPushButton, QStringLiteral("OK"), 560, 278, 50, 16},
                {win::kIdCancel, K::PushButton, QStringLiteral("Cancel"), 620, 278, 50, 16},
            }};
}

QSlider* SetUpSlider(const CDialog* dialog, int id, int low, int high)
{
    auto* slider = dialog->Control<QSlider>(id);
    slider->setRange(low, high);
    slider->setPageStep(1);
    return slider;
}

// Settings that change the fitted picture, not just its tones.
bool SameGeometry(const ImportSettings& a, const ImportSettings& b)
{
    return a.modelType == b.modelType && a.receiptWidth == b.receiptWidth && a.width == b.width
           && a.rotate == b.rotate && a.density == b.density;
}

}  // namespace

CImportDlg::CImportDlg(const QString& sourcePath, const QImage& picture, const ImportSettings& initial,
                       QWidget* parent)
    : CDialog(ImportTemplate(), parent),
      m_sourcePath(sourcePath),
      m_picture(FlattenOverWhite(picture)),
      m_settings(initial)
{
    CreateControls();
    ConnectControls();
}

CImportDlg::~CImportDlg() = default;

void CImportDlg::CreateControls()
{
    m_sourceView = AddPictureView(Control(IDC_IMPORT_SOURCE));
    m_resultView = AddPictureView(Control(IDC_IMPORT_RESULT));
    m_info = Control<QLabel>(IDC_IMPORT_INFO);
    m_width = Control<QLineEdit>(IDC_IMPORT_WIDTH);
    m_width->setValidator(new QIntValidator(1, kMaxImportWidth, m_width));
    m_rotate = Control<QCheckBox>(IDC_IMPORT_ROTATE);
    m_method = Control<QComboBox>(IDC_IMPORT_METHOD);
    m_ink = Control<QComboBox>(IDC_IMPORT_INK);
    m_density = Control<QComboBox>(IDC_IMPORT_DENSITY);
    for (QComboBox* combo : {m_method, m_ink, m_density})
        combo->setEditable(false);
    m_level = SetUpSlider(this, IDC_IMPORT_LEVEL, kMinLevel, kMaxLevel);
    m_brightness = SetUpSlider(this, IDC_IMPORT_BRIGHTNESS, -kMaxToneShift, kMaxToneShift);
    m_contrast = SetUpSlider(this, IDC_IMPORT_CONTRAST, -kMaxToneShift, kMaxToneShift);
    m_gamma = SetUpSlider(this, IDC_IMPORT_GAMMA, 10, 400);  // hundredths
}

bool CImportDlg::OnInitDialog()
{
    // The controls take the settings quietly; the result follows once below.
    std::vector<QSignalBlocker> quiet;
    for (QObject* control : std::initializer_list<QObject*>{m_width, m_rotate, m_method, m_ink, m_density, m_level,
                                                             m_brightness, m_contrast, m_gamma})
        quiet.emplace_back(control);
    for (QComboBox* combo : {m_method, m_ink, m_density})
        combo->clear();
    const PrinterKindEntry& kind = KindEntryOrMono(m_settings.modelType);
    const bool twoColour = kind.importInkChoice;
    for (DitherMethod method : {DitherMethod::None, DitherMethod::FloydSteinberg, DitherMethod::Atkinson,
                                DitherMethod::Bayer}) {
        if (!(twoColour && method == DitherMethod::Bayer))
            m_method->addItem(DitherMethodName(method), static_cast<int>(method));
    }
    if (twoColour && m_settings.dither == DitherMethod::Bayer)
        m_settings.dither = DitherMethod::FloydSteinberg;
    m_method->setCurrentIndex(m_method->findData(static_cast<int>(m_settings.dither)));
    for (ColorChoice ink : {ColorChoice::Red, ColorChoice::Green, ColorChoice::Blue})
        m_ink->addItem(InkName(ink), ToStoredNumber(ink));
    m_ink->setCurrentIndex(m_ink->findData(ToStoredNumber(m_settings.ink)));
    m_ink->setEnabled(twoColour);
    m_density->addItem(QStringLiteral("single"), DotDensityNumber(DotDensity::Single));
    m_density->addItem(QStringLiteral("double"), DotDensityNumber(DotDensity::Double));
    m_density->addItem(QStringLiteral("quad"), DotDensityNumber(DotDensity::Quad));
    m_density->setCurrentIndex(m_density->findData(DotDensityNumber(m_settings.density)));
    m_density->setEnabled(kind.importDensityUnits);
    m_level->setEnabled(!twoColour);  // two-colour reduction picks the nearest ink instead
    m_width->setText(m_settings.width > 0 ? QString::number(m_settings.width) : QString());
    m_width->setPlaceholderText(QString::number(m_settings.receiptWidth));
    m_rotate->setChecked(m_settings.rotate);
    m_level->setValue(m_settings.level);
    m_brightness->setValue(m_settings.brightness);
    m_contrast->setValue(m_settings.contrast);
    m_gamma->setValue(static_cast<int>(std::lround(m_settings.gamma * 100)));
    quiet.clear();
    OnSettingsChanged();
    return true;
}

void CImportDlg::ConnectControls()
{
    for (QSlider* slider : {m_level, m_brightness, m_contrast, m_gamma})
        connect(slider, &QSlider::valueChanged, this, &CImportDlg::OnSettingsChanged);
    for (QComboBox* combo : {m_method, m_ink, m_density})
        connect(combo, &QComboBox::currentIndexChanged, this, &CImportDlg::OnSettingsChanged);
    connect(m_rotate, &QCheckBox::toggled, this, &CImportDlg::OnSettingsChanged);
    connect(m_width, &QLineEdit::editingFinished, this, &CImportDlg::OnSettingsChanged);
    ConnectClicked(win::kIdOk, &CImportDlg::OnOK);
    ConnectClicked(win::kIdCancel, &QDialog::reject);
}

void CImportDlg::ReadControls()
{
    m_settings.width = m_width->text().isEmpty() ? 0 : m_width->text().toInt();
    m_settings.rotate = m_rotate->isChecked();
    m_settings.dither = static_cast<DitherMethod>(m_method->currentData().toInt());
    m_settings.ink = FromStoredNumber(m_ink->currentData().toInt());
    m_settings.density = DotDensityFromNumber(m_density->currentData().toInt()).value_or(DotDensity::Single);
    m_settings.level = m_level->value();
    m_settings.brightness = m_brightness->value();
    m_settings.contrast = m_contrast->value();
    m_settings.gamma = m_gamma->value() / 100.0;
    Control<QLabel>(IDC_IMPORT_LEVEL_TEXT)->setText(QString::number(m_settings.level));
    Control<QLabel>(IDC_IMPORT_BRIGHTNESS_TEXT)->setText(QString::number(m_settings.brightness));
    Control<QLabel>(IDC_IMPORT_CONTRAST_TEXT)->setText(QString::number(m_settings.contrast));
    Control<QLabel>(IDC_IMPORT_GAMMA_TEXT)->setText(QString::number(m_settings.gamma, 'f', 2));
}

void CImportDlg::OnSettingsChanged()
{
    ReadControls();
    QString error;
    if (!m_prepared || !SameGeometry(m_settings, m_preparedFor)) {
        m_prepared = PrepareImportSource(m_picture, m_settings, &error);
        m_preparedFor = m_settings;
        if (m_prepared) {
            // The picture at the size it will print, beside the result.
            const QSize unit = ImportDotUnit(m_settings);
            const QSize printed(m_prepared->width() * unit.width(), m_prepared->height() * unit.height());
            m_sourceView->setPixmap(QPixmap::fromImage(ResizePicture(*m_prepared, printed)));
        }
    }
    m_result.reset();
    if (m_prepared && CheckImportSettings(m_settings).isEmpty())
        m_result = ImportPreparedPicture(*m_prepared, m_settings);
    else if (error.isEmpty())
        error = CheckImportSettings(m_settings);
    ShowResult(error);
}

void CImportDlg::ShowResult(const QString& error)
{
    Control<QPushButton>(win::kIdOk)->setEnabled(m_result.has_value());
    if (!m_result) {
        m_resultView->clear();
        m_info->setText(error);
        return;
    }
    m_resultView->setPixmap(QPixmap::fromImage(m_result->Preview()));
    const int rowBytes = (m_result->bmpSize.width() + 7) / 8;
    m_info->setText(QStringLiteral("%1 x %2 dots, %3 KByte")
                        .arg(m_result->dotWidth)
                        .arg(m_result->dotHeight)
                        .arg(rowBytes * m_result->bmpSize.height() / 1024));
}

void CImportDlg::OnOK()
{
    if (!m_result)
        return;
    const QString path = ImportedLogosFolder() + '/' + ImportedLogoFileName(m_sourcePath, m_settings);
    QString error;
    if (!SaveImportedLogo(*m_result, path, &error)) {
        ShowMessage(error, MessageIcon::Exclamation);
        return;
    }
    m_savedPath = path;
    accept();
}

std::optional<QString> CImportDlg::ImportFile(const QString& path, const ImportSettings& initial, QWidget* parent,
                                              LogoSettings* settings)
{
    // Large photographs are decoded at a size that still leaves room to
    // widen the result; the dialog fits them exactly from there.
    const int roomy = std::max(2 * std::max(initial.receiptWidth, initial.width), 1024);
    QString error;
    const std::optional<QImage> picture =
        LoadPicture(path, [&](QSize natural) { return FitToWidth(natural, 0, roomy); }, &error);
    if (!picture) {
        ShowOutcome(Outcome::Failure(QStringLiteral("Failed to load image file!")));
        return std::nullopt;
    }
    CImportDlg dialog(path, *picture, initial, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    *settings = dialog.Result()->logoSettings;
    return dialog.SavedPath();
}
