#include "framework/widgets/ip_address_ctrl.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QValidator>

#include <algorithm>
#include <functional>

namespace {

constexpr int kMaxOctet = 255;

// Digits only, up to three. Text that holds a whole address (a paste, by
// keys, menu or middle click) is refused for the field and handed to the
// control, which spreads it over all four fields once the field has
// finished refusing it.
class CFieldValidator : public QValidator {
public:
    CFieldValidator(QObject* parent, std::function<void(const QString&)> onAddress)
        : QValidator(parent), m_onAddress(std::move(onAddress))
    {
    }

    State validate(QString& input, int& /*pos*/) const override
    {
        static const QRegularExpression digits(QStringLiteral("^[0-9]{0,3}$"));
        if (digits.match(input).hasMatch())
            return Acceptable;
        if (CIpAddressCtrl::ParseAddress(input))
            m_onAddress(input);
        return Invalid;
    }

private:
    std::function<void(const QString&)> m_onAddress;
};

}  // namespace

CIpAddressCtrl::CIpAddressCtrl(QWidget* parent) : QFrame(parent)
{
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 0, 2, 0);
    layout->setSpacing(0);
    auto* validator = new CFieldValidator(this, [this](const QString& text) {
        QMetaObject::invokeMethod(this, [this, text] { OnAddressPasted(text); }, Qt::QueuedConnection);
    });
    for (int i = 0; i < 4; ++i) {
        if (i > 0) {
            auto* dot = new QLabel(QStringLiteral("."), this);
            dot->setBackgroundRole(QPalette::Base);
            layout->addWidget(dot);
        }
        auto* field = new QLineEdit(this);
        field->setFrame(false);
        field->setAlignment(Qt::AlignCenter);
        // No maximum length: it would cut a pasted address to its first
        // three characters before the validator sees it.
        field->setValidator(validator);
        field->installEventFilter(this);
        field->setAccessibleName(QStringLiteral("IP address, part %1 of 4").arg(i + 1));
        connect(field, &QLineEdit::textEdited, this, [this, i] { OnFieldEdited(i); });
        layout->addWidget(field, 1);
        m_fields[static_cast<size_t>(i)] = field;
    }
    // The fields take the focus, the frame never does: Tab steps through the
    // four fields like any other controls (a focus proxy would put the first
    // field wherever the frame sits in the dialog's tab chain, a second time).
    setFocusPolicy(Qt::NoFocus);
    for (size_t i = 1; i < m_fields.size(); ++i)
        QWidget::setTabOrder(m_fields[i - 1], m_fields[i]);
}

std::optional<std::array<quint8, 4>> CIpAddressCtrl::ParseAddress(const QString& text)
{
    static const QRegularExpression pattern(
        QStringLiteral("^\\s*([0-9]{1,3})\\.([0-9]{1,3})\\.([0-9]{1,3})\\.([0-9]{1,3})\\s*$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    std::array<quint8, 4> address{};
    for (int i = 0; i < 4; ++i) {
        const int octet = match.captured(i + 1).toInt();
        if (octet > kMaxOctet)
            return std::nullopt;
        address[static_cast<size_t>(i)] = static_cast<quint8>(octet);
    }
    return address;
}

void CIpAddressCtrl::SetAddress(const std::array<quint8, 4>& address)
{
    for (size_t i = 0; i < m_fields.size(); ++i) {
        m_fields[i]->setText(QString::number(address[i]));
        m_shownByProgram[i] = true;
    }
}

std::array<quint8, 4> CIpAddressCtrl::Address() const
{
    std::array<quint8, 4> address{};
    for (size_t i = 0; i < m_fields.size(); ++i)
        address[i] = static_cast<quint8>(std::min(m_fields[i]->text().toInt(), kMaxOctet));
    return address;
}

void CIpAddressCtrl::OnFieldEdited(int field)
{
    QLineEdit* edit = m_fields[static_cast<size_t>(field)];
    m_shownByProgram[static_cast<size_t>(field)] = false;
    if (edit->text().toInt() > kMaxOctet)
        edit->setText(QString::number(kMaxOctet));
    // A full field passes the typing on, so an address can be typed without dots.
    if (edit->text().size() == 3 && edit->cursorPosition() == 3 && field < 3) {
        FocusField(field + 1, true);
        m_advancedTo = field + 1;
    }
}

void CIpAddressCtrl::OnAddressPasted(const QString& text)
{
    const std::optional<std::array<quint8, 4>> address = ParseAddress(text);
    if (!address)
        return;
    SetAddress(*address);
    FocusField(3, false);
    m_advancedTo = -1;
}

void CIpAddressCtrl::FocusField(int field, bool selectAll)
{
    QLineEdit* edit = m_fields[static_cast<size_t>(field)];
    edit->setFocus(Qt::OtherFocusReason);
    if (selectAll)
        edit->selectAll();
    else
        edit->end(false);
}

int CIpAddressCtrl::IndexOf(const QObject* watched) const
{
    const auto found = std::find(m_fields.begin(), m_fields.end(), watched);
    return found == m_fields.end() ? -1 : static_cast<int>(found - m_fields.begin());
}

bool CIpAddressCtrl::eventFilter(QObject* watched, QEvent* event)
{
    const int field = IndexOf(watched);
    if (field < 0 || event->type() != QEvent::KeyPress)
        return QFrame::eventFilter(watched, event);
    const QLineEdit* edit = m_fields[static_cast<size_t>(field)];
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool justAdvanced = m_advancedTo == field;
    m_advancedTo = -1;
    const bool atStart = edit->cursorPosition() == 0 && !edit->hasSelectedText();
    const bool atEnd = edit->cursorPosition() == edit->text().size() && !edit->hasSelectedText();
    if (key->text() == QStringLiteral(".")) {
        // The dot after a full field was already taken by the move; an empty
        // field keeps the focus, so a doubled dot does not skip one.
        if (!justAdvanced && field < 3 && !edit->text().isEmpty())
            FocusField(field + 1, true);
        return true;
    }
    // A "0" the control shows (not one the operator typed) gives way to
    // the first digit typed after it.
    const bool digit = key->text().size() == 1 && key->text().at(0).isDigit();
    if (digit && m_shownByProgram[static_cast<size_t>(field)] && edit->text() == QStringLiteral("0") &&
        !edit->hasSelectedText())
        m_fields[static_cast<size_t>(field)]->clear();
    if (key->key() == Qt::Key_Right && atEnd && field < 3) {
        FocusField(field + 1, false);
        m_fields[static_cast<size_t>(field + 1)]->home(false);
        return true;
    }
    if ((key->key() == Qt::Key_Left || key->key() == Qt::Key_Backspace) && atStart && field > 0) {
        FocusField(field - 1, false);
        return true;
    }
    return QFrame::eventFilter(watched, event);
}
