#include "compose/compose_dlg.h"

#include "compose/compose_dlg_ids.h"
#include "framework/message_box.h"
#include "framework/widgets/dialog_template.h"
#include "framework/widgets/picture_view.h"
#include "framework/widgets/file_dialogs.h"
#include "import/picture_loader.h"
#include "import/picture_scaler.h"
#include "framework/outcome.h"
#include "operations/printer_kind_table.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <vector>

namespace {

DialogTemplate ComposeTemplate()
{
    using K = ControlKind;
    return {QStringLiteral("Compose Logo"), QStringLiteral("Arial"), 8, 600, 290,
            {
                {-1, K::Static, QStringLiteral("Result (as printed)"), 7, 5, 150, 9},
                {IDC_COMPOSE_RESULT, K::Custom, {}, 7, 15, 300, 268},
                {-1, K::Static, QStringLiteral("Text lines (one a line):"), 315, 5, 150, 9},
                {IDC_COMPOSE_TEXT, K::Custom, {}, 315, 15, 278, 62},
                {-1, K::Static, QStringLiteral("Font:"), 315, 84, 28, 9},
                {IDC_COMPOSE_FONT, K::ComboBox, {}, 345, 82, 130, 12},
                {-1, K::Static, QStringLiteral("Size:"), 482, 84, 20, 9},
                {IDC_COMPOSE_SIZE, K::Edit, {}, 503, 82, 30, 12},
                {IDC_COMPOSE_BOLD, K::CheckBox, QStringLiteral("Bold"), 543, 83, 50, 10},
                {-1, K::Static, QStringLiteral("Align:"), 315, 101, 28, 9},
                {IDC_COMPOSE_ALIGN, K::ComboBox, {}, 345, 99, 60, 12},
                {-1, K::Static, QStringLiteral("Spacing:"), 412, 101, 32, 9},
                {IDC_COMPOSE_SPACING, K::Edit, {}, 446, 99, 30, 12},
                {IDC_COMPOSE_SHRINK, K::CheckBox, QStringLiteral("Shrink to fit"), 486, 100, 60, 10},
                {-1, K::Static, QStringLiteral("Ink:"), 315, 118, 28, 9},
                {IDC_COMPOSE_TEXT_INK, K::ComboBox, {}, 345, 116, 60, 12},
                {-1, K::GroupBox, QStringLiteral("QR code"), 315, 134, 278, 50},
                {-1, K::Static, QStringLiteral("Content:"), 322, 148, 32, 9},
                {IDC_COMPOSE_QR, K::Edit, {}, 356, 146, 230, 12},
                {-1, K::Static, QStringLiteral("Level:"), 322, 166, 25, 9},
                {IDC_COMPOSE_QR_LEVEL, K::ComboBox, {}, 350, 164, 35, 12},
                {-1, K::Static, QStringLiteral("Position:"), 393, 166, 33, 9},
                {IDC_COMPOSE_QR_POSITION, K::ComboBox, {}, 428, 164, 55, 12},
                {-1, K::Static, QStringLiteral("Ink:"), 491, 166, 18, 9},
                {IDC_COMPOSE_QR_INK, K::ComboBox, {}, 511, 164, 60, 12},
                {-1, K::Static, QStringLiteral("Picture:"), 315, 195, 30, 9},
                {IDC_COMPOSE_PICTURE, K::ReadOnlyEdit, {}, 345, 193, 130, 12},
                {IDC_COMPOSE_BROWSE, K::PushButton, QStringLiteral("Browse..."), 480, 192, 55, 14},
                {IDC_COMPOSE_NO_PICTURE, K::PushButton, QStringLiteral("None"), 540, 192, 53, 14},
                {IDC_COMPOSE_INFO, K::Static, {}, 315, 214, 278, 44},
                {win::kIdOk, K::DefaultPushButton, QStringLiteral("OK"), 480, 267, 50, 16},
                {win::kIdCancel, K::PushButton, QStringLiteral("Cancel"), 540, 267, 50, 16},
            }};
}

template <typename Enum>
void FillCombo(QComboBox* combo, std::initializer_list<Enum> values, QString (*name)(Enum), Enum current)
{
    combo->clear();
    for (Enum value : values)
        combo->addItem(name(value), static_cast<int>(value));
    combo->setCurrentIndex(combo->findData(static_cast<int>(current)));
}

template <typename Enum>
Enum ComboValue(const QComboBox* combo)
{
    return static_cast<Enum>(combo->currentData().toInt());
}

}  // namespace

CComposeDlg::CComposeDlg(const ImportSettings& initial, QWidget* parent)
    : CDialog(ComposeTemplate(), parent), m_settings(initial)
{
    m_layout.lines.push_back(ComposeTextLine{QStringLiteral("Your Shop")});
    CreateControls();
    ConnectControls();
}

CComposeDlg::~CComposeDlg() = default;

void CComposeDlg::CreateControls()
{
    m_resultView = AddPictureView(Control(IDC_COMPOSE_RESULT));
    auto* textLayout = new QVBoxLayout(Control(IDC_COMPOSE_TEXT));
    textLayout->setContentsMargins(0, 0, 0, 0);
    m_text = new QPlainTextEdit(Control(IDC_COMPOSE_TEXT));
    m_text->setAccessibleName(QStringLiteral("Text lines"));
    m_text->setTabChangesFocus(true);  // one line per Return; Tab moves on as in every other field
    textLayout->addWidget(m_text);
    m_info = Control<QLabel>(IDC_COMPOSE_INFO);
    m_info->setWordWrap(true);
    m_font = Control<QComboBox>(IDC_COMPOSE_FONT);
    m_size = Control<QLineEdit>(IDC_COMPOSE_SIZE);
    m_size->setValidator(new QIntValidator(kMinComposeSize, kMaxComposeSize, m_size));
    m_bold = Control<QCheckBox>(IDC_COMPOSE_BOLD);
    m_align = Control<QComboBox>(IDC_COMPOSE_ALIGN);
    m_spacing = Control<QLineEdit>(IDC_COMPOSE_SPACING);
    m_spacing->setValidator(new QIntValidator(0, kMaxComposeSpacing, m_spacing));
    m_shrink = Control<QCheckBox>(IDC_COMPOSE_SHRINK);
    m_textInk = Control<QComboBox>(IDC_COMPOSE_TEXT_INK);
    m_qr = Control<QLineEdit>(IDC_COMPOSE_QR);
    m_qrLevel = Control<QComboBox>(IDC_COMPOSE_QR_LEVEL);
    m_qrPosition = Control<QComboBox>(IDC_COMPOSE_QR_POSITION);
    m_qrInk = Control<QComboBox>(IDC_COMPOSE_QR_INK);
    m_picturePath = Control<QLineEdit>(IDC_COMPOSE_PICTURE);
    // The font list is the installed families; a name that is not among them
    // can still be typed (it is composed with the default and said so).
    for (QComboBox* combo : {m_align, m_textInk, m_qrLevel, m_qrPosition, m_qrInk})
        combo->setEditable(false);
}

bool CComposeDlg::OnInitDialog()
{
    std::vector<QSignalBlocker> quiet;
    for (QObject* control : std::initializer_list<QObject*>{m_text, m_font, m_size, m_bold, m_align, m_spacing,
                                                             m_shrink, m_textInk, m_qr, m_qrLevel, m_qrPosition,
                                                             m_qrInk})
        quiet.emplace_back(control);
    const ComposeTextLine& first = m_layout.lines.front();
    QStringList texts;
    for (const ComposeTextLine& line : m_layout.lines)
        texts << line.text;
    m_text->setPlainText(texts.join('\n'));
    m_font->clear();
    m_font->addItems(QFontDatabase::families());
    m_font->setCurrentText(first.font);
    m_size->setText(QString::number(first.size));
    m_bold->setChecked(first.bold);
    FillCombo(m_align, {ComposeAlign::Left, ComposeAlign::Center, ComposeAlign::Right}, &AlignName, first.align);
    m_spacing->setText(QString::number(m_layout.spacing));
    m_shrink->setChecked(m_layout.shrink);
    const ComposeQr qr = m_layout.qr.value_or(ComposeQr{});
    m_qr->setText(qr.content);
    FillCombo(m_qrLevel, {QrLevel::L, QrLevel::M, QrLevel::Q, QrLevel::H}, &QrLevelName, qr.level);
    FillCombo(m_qrPosition, {QrPosition::Below, QrPosition::Beside}, &QrPositionName, qr.position);
    const bool twoColour = KindEntryOrMono(m_settings.modelType).importInkChoice;
    const QString second = twoColour ? InkName(m_settings.ink) : QStringLiteral("second");
    for (auto [combo, ink] : {std::pair{m_textInk, first.ink}, std::pair{m_qrInk, qr.ink}}) {
        combo->clear();
        combo->addItem(QStringLiteral("black"), static_cast<int>(ComposeInk::Black));
        combo->addItem(second, static_cast<int>(ComposeInk::Second));
        combo->setCurrentIndex(combo->findData(static_cast<int>(ink)));
        combo->setEnabled(twoColour);
    }
    quiet.clear();
    OnSettingsChanged();
    return true;
}

void CComposeDlg::ConnectControls()
{
    connect(m_text, &QPlainTextEdit::textChanged, this, &CComposeDlg::OnSettingsChanged);
    for (QLineEdit* edit : {m_size, m_spacing, m_qr})
        connect(edit, &QLineEdit::textChanged, this, &CComposeDlg::OnSettingsChanged);
    for (QCheckBox* box : {m_bold, m_shrink})
        connect(box, &QCheckBox::toggled, this, &CComposeDlg::OnSettingsChanged);
    for (QComboBox* combo : {m_align, m_textInk, m_qrLevel, m_qrPosition, m_qrInk})
        connect(combo, &QComboBox::currentIndexChanged, this, &CComposeDlg::OnSettingsChanged);
    connect(m_font, &QComboBox::currentTextChanged, this, &CComposeDlg::OnSettingsChanged);
    ConnectClicked(IDC_COMPOSE_BROWSE, &CComposeDlg::OnBrowse);
    ConnectClicked(IDC_COMPOSE_NO_PICTURE, &CComposeDlg::OnNoPicture);
    ConnectClicked(win::kIdOk, &CComposeDlg::OnOK);
    ConnectClicked(win::kIdCancel, &QDialog::reject);
}

void CComposeDlg::ReadControls()
{
    ComposeTextLine style;
    style.font = m_font->currentText().isEmpty() ? QString::fromLatin1(kDefaultComposeFont) : m_font->currentText();
    style.size = m_size->text().toInt();
    style.bold = m_bold->isChecked();
    style.align = ComboValue<ComposeAlign>(m_align);
    style.ink = ComboValue<ComposeInk>(m_textInk);
    m_layout.lines.clear();
    for (const QString& text : m_text->toPlainText().split('\n')) {
        m_layout.lines.push_back(style);
        m_layout.lines.back().text = text;
    }
    // Empty lines at the end are no part of the logo.
    while (!m_layout.lines.empty() && m_layout.lines.back().text.trimmed().isEmpty())
        m_layout.lines.pop_back();
    m_layout.spacing = m_spacing->text().toInt();
    m_layout.shrink = m_shrink->isChecked();
    m_layout.qr.reset();
    if (!m_qr->text().isEmpty())
        m_layout.qr = ComposeQr{m_qr->text(), ComboValue<QrLevel>(m_qrLevel), 0, ComboValue<QrPosition>(m_qrPosition),
                                ComboValue<ComposeInk>(m_qrInk)};
}

void CComposeDlg::OnSettingsChanged()
{
    ReadControls();
    QString error;
    m_result = ComposeLogo(m_layout, m_picture, m_settings, &error);
    ShowResult(error);
}

void CComposeDlg::ShowResult(const QString& error)
{
    Control<QPushButton>(win::kIdOk)->setEnabled(m_result.has_value());
    if (!m_result) {
        m_resultView->clear();
        m_info->setText(error);
        return;
    }
    const ImportedLogo& logo = m_result->logo;
    m_resultView->setPixmap(QPixmap::fromImage(logo.Preview()));
    m_info->setText((QStringList{QStringLiteral("%1 x %2 dots").arg(logo.dotWidth).arg(logo.dotHeight)}
                     + m_result->notes).join('\n'));
}

void CComposeDlg::OnBrowse()
{
    const QStringList pictures = PictureNameFilters();
    FileDialogRequest request;
    request.parent = this;
    request.filter = QStringLiteral("All pictures (%1)|%2|All files (*)|*||").arg(pictures.join(' '), pictures.join(';'));
    const QStringList chosen = ShowFileDialog(request);
    if (chosen.isEmpty())
        return;
    QString error;
    const std::optional<QImage> picture =
        LoadPicture(chosen.first(), [&](QSize natural) { return ImportSourceSize(natural, m_settings); }, &error);
    if (!picture) {
        ShowOutcome(Outcome::Failure(QStringLiteral("Failed to load image file!")));
        return;
    }
    m_picture = *picture;
    m_layout.picture = ComposePicture{chosen.first()};
    m_picturePath->setText(chosen.first());
    OnSettingsChanged();
}

void CComposeDlg::OnNoPicture()
{
    m_picture = QImage();
    m_layout.picture.reset();
    m_picturePath->clear();
    OnSettingsChanged();
}

void CComposeDlg::OnOK()
{
    if (!m_result)
        return;
    const QString path = ImportedLogosFolder() + '/' + ComposedLogoFileName(m_layout, m_settings);
    QString error;
    if (!SaveImportedLogo(m_result->logo, path, &error)) {
        ShowMessage(error, MessageIcon::Exclamation);
        return;
    }
    m_savedPath = path;
    accept();
}

std::optional<QString> CComposeDlg::ComposeFile(const ImportSettings& initial, QWidget* parent, LogoSettings* settings)
{
    CComposeDlg dialog(initial, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    *settings = dialog.Result()->logo.logoSettings;
    return dialog.SavedPath();
}
