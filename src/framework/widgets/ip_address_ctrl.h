#pragma once

#include <QFrame>
#include <QtGlobal>

#include <array>

class QLineEdit;

// An IPv4 address entry: four octet fields of 0..255 separated by dots, in one
// sunken frame, as the framework's IP address control shows it.
//
// Typing: only digits go into a field; a value above 255 becomes 255; the
// third digit, '.' and Right at the end of a field move on to the next field;
// Backspace in an empty field and Left at its start move back.
class CIpAddressCtrl : public QFrame {
    Q_OBJECT
public:
    explicit CIpAddressCtrl(QWidget* parent = nullptr);

    // Shows the four octets, first octet in the first field.
    void SetAddress(const std::array<quint8, 4>& address);

    // The four octets, first field first; an empty field reads 0.
    std::array<quint8, 4> Address() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnFieldEdited(int field);
    // Gives the field the focus with its text selected (moving forward) or
    // the cursor at its end (moving back).
    void FocusField(int field, bool selectAll);

    std::array<QLineEdit*, 4> m_fields{};
};
