#include "framework/widgets/ip_address_ctrl.h"

#include <QApplication>
#include <QKeyEvent>

#include <gtest/gtest.h>

namespace {

using Address = std::array<quint8, 4>;

// Types into whichever field has the focus, as the keyboard would; '\b' is
// Backspace.
void Type(CIpAddressCtrl& control, const char* keys)
{
    for (const char* c = keys; *c; ++c) {
        QWidget* target = control.window()->focusWidget();
        ASSERT_NE(target, nullptr) << "no field has the focus";
        const bool backspace = *c == '\b';
        const int key = backspace ? int(Qt::Key_Backspace) : int(QChar::fromLatin1(*c).toUpper().unicode());
        const QString text = backspace ? QString() : QString(QChar::fromLatin1(*c));
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
        QApplication::sendEvent(target, &release);
    }
}

TEST(IpAddressCtrl, ShowsAndReturnsTheFourOctets)
{
    CIpAddressCtrl control;
    EXPECT_EQ(control.Address(), (Address{0, 0, 0, 0}));  // empty fields read 0
    for (const Address& address : {Address{192, 168, 0, 10}, Address{255, 255, 255, 255}, Address{0, 0, 0, 0}}) {
        control.SetAddress(address);
        EXPECT_EQ(control.Address(), address);
    }
}

TEST(IpAddressCtrl, TypingMovesAcrossTheFields)
{
    struct Case {
        const char* keys;
        Address address;
    };
    const Case cases[] = {
        {"192.168.0.10", {192, 168, 0, 10}},
        {"1921680012", {192, 168, 1, 2}},  // a full field moves on by itself
        {"10..1", {10, 1, 0, 0}},          // a dot in an empty field does not skip it
        {"300.1.2.3", {255, 1, 2, 3}},     // above 255 becomes 255
        {"1a2.3.4.5", {12, 3, 4, 5}},      // only digits are taken
        {"12.\b\b5", {15, 0, 0, 0}},       // Backspace in an empty field goes back
        {"1.2.3.4.5", {1, 2, 3, 45}},      // there is no fifth field
    };
    for (const Case& c : cases) {
        CIpAddressCtrl control;
        control.setFocus();
        Type(control, c.keys);
        EXPECT_EQ(control.Address(), c.address) << c.keys;
    }
}

}  // namespace
