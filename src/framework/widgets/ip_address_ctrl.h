#pragma once

#include <QFrame>
#include <QtGlobal>

#include <array>
#include <optional>

class QLineEdit;

// An IPv4 address entry: four octet fields of 0..255 separated by dots, in one
// sunken frame, as the framework's IP address control shows it.
//
// Typing: only digits go into a field; a value above 255 becomes 255; a "0"
// shown by SetAddress gives way to the digit typed after it; the third digit, '.' and Right at
// the end of a field move on to the next field; Backspace in an empty field
// and Left at its start move back. A dot typed right after the third digit
// moved on by itself does nothing, so "192.168.1.50" typed the usual way
// lands in four fields. Pasting a whole address into any field fills all four.
class CIpAddressCtrl : public QFrame {
    Q_OBJECT
public:
    explicit CIpAddressCtrl(QWidget* parent = nullptr);

    // Shows the four octets, first octet in the first field.
    void SetAddress(const std::array<quint8, 4>& address);

    // The four octets, first field first; an empty field reads 0.
    std::array<quint8, 4> Address() const;

    // The fields, first octet first, for tab orders and accessibility.
    QLineEdit* Field(int index) const { return m_fields[static_cast<size_t>(index)]; }

    // "a.b.c.d" with each part 0..255 (spaces around it allowed); nothing
    // for any other text.
    static std::optional<std::array<quint8, 4>> ParseAddress(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnFieldEdited(int field);
    void OnAddressPasted(const QString& text);
    // Gives the field the focus with its text selected (moving forward) or
    // the cursor at its end (moving back).
    void FocusField(int field, bool selectAll);
    int IndexOf(const QObject* watched) const;

    std::array<QLineEdit*, 4> m_fields{};
    // The field the focus moved to after a full field, until the next key:
    // a dot typed there belongs to the field just finished.
    int m_advancedTo = -1;
    // Per field: its text was put there by SetAddress, not typed.
    std::array<bool, 4> m_shownByProgram{};
};
