#include "framework/widgets/ip_address_ctrl.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>

#include <algorithm>

namespace {

constexpr int kMaxOctet = 255;

}  // namespace

CIpAddressCtrl::CIpAddressCtrl(QWidget* parent) : QFrame(parent)
{
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 0, 2, 0);
    layout->setSpacing(0);
    auto* digits = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,3}")), this);
    for (int i = 0; i < 4; ++i) {
        if (i > 0) {
            auto* dot = new QLabel(QStringLiteral("."), this);
            dot->setBackgroundRole(QPalette::Base);
            layout->addWidget(dot);
        }
        auto* field = new QLineEdit(this);
        field->setFrame(false);
        field->setAlignment(Qt::AlignCenter);
        field->setMaxLength(3);
        field->setValidator(digits);
        field->installEventFilter(this);
        connect(field, &QLineEdit::textEdited, this, [this, i] { OnFieldEdited(i); });
        layout->addWidget(field, 1);
        m_fields[static_cast<size_t>(i)] = field;
    }
    setFocusProxy(m_fields[0]);
}

void CIpAddressCtrl::SetAddress(const std::array<quint8, 4>& address)
{
    for (size_t i = 0; i < m_fields.size(); ++i)
        m_fields[i]->setText(QString::number(address[i]));
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
    if (edit->text().toInt() > kMaxOctet)
        edit->setText(QString::number(kMaxOctet));
    // A full field passes the typing on, so an address can be typed without dots.
    if (edit->text().size() == 3 && edit->cursorPosition() == 3 && field < 3)
        FocusField(field + 1, true);
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

bool CIpAddressCtrl::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QFrame::eventFilter(watched, event);
    int field = 0;
    while (field < 4 && m_fields[static_cast<size_t>(field)] != watched)
        ++field;
    if (field == 4)
        return QFrame::eventFilter(watched, event);
    const QLineEdit* edit = m_fields[static_cast<size_t>(field)];
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool atStart = edit->cursorPosition() == 0 && !edit->hasSelectedText();
    const bool atEnd = edit->cursorPosition() == edit->text().size() && !edit->hasSelectedText();
    if (key->text() == QStringLiteral(".")) {
        // An empty field keeps the focus, so a doubled dot does not skip one.
        if (field < 3 && !edit->text().isEmpty())
            FocusField(field + 1, true);
        return true;
    }
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
