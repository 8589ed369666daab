#include "framework/widgets/ip_address_ctrl.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>

#include <QTest>

#include <gtest/gtest.h>

#include <vector>

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
        {"192.168.1.50", {192, 168, 1, 50}},  // the dot after a full field is not a second move
        {"10.200.1.255", {10, 200, 1, 255}},
        {"255.255.255.255", {255, 255, 255, 255}},
        {"123..4.5.6", {123, 4, 5, 6}},    // the dot after the move is taken, a second one is not
    };
    for (const Case& c : cases) {
        CIpAddressCtrl control;
        control.Field(0)->setFocus();
        Type(control, c.keys);
        EXPECT_EQ(control.Address(), c.address) << c.keys;
    }
}

// The way Port Setting shows it: every field holds "0", the operator tabs in
// (which selects the field's text) and types the address the usual way.
TEST(IpAddressCtrl, TypingOverAShownAddressReplacesIt)
{
    struct Case {
        const char* keys;
        Address address;
    };
    const Case cases[] = {
        {"192.168.1.50", {192, 168, 1, 50}},
        {"10.0.0.7", {10, 0, 0, 7}},
        {"172.16.254.1", {172, 16, 254, 1}},
    };
    for (const Case& c : cases) {
        QWidget window;
        auto* control = new CIpAddressCtrl(&window);
        control->SetAddress({0, 0, 0, 0});
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        control->Field(0)->setFocus(Qt::TabFocusReason);
        control->Field(0)->selectAll();
        Type(*control, c.keys);
        EXPECT_EQ(control->Address(), c.address) << c.keys;
    }
}

// Clicked into (cursor after the shown "0"): the zero gives way.
TEST(IpAddressCtrl, ALeadingZeroGivesWayToTheDigitTyped)
{
    CIpAddressCtrl control;
    control.SetAddress({0, 0, 0, 0});
    control.Field(0)->setFocus();
    control.Field(0)->end(false);
    Type(control, "192.168.1.50");
    EXPECT_EQ(control.Address(), (Address{192, 168, 1, 50}));
}

TEST(IpAddressCtrl, PastingAWholeAddressIntoAnyFieldFillsAllFour)
{
    for (int field = 0; field < 4; ++field) {
        QWidget window;
        auto* control = new CIpAddressCtrl(&window);
        control->SetAddress({1, 2, 3, 4});
        window.show();
        QApplication::clipboard()->setText(QStringLiteral(" 192.168.1.50 "));
        control->Field(field)->setFocus();
        control->Field(field)->selectAll();
        QTest::keySequence(control->Field(field), QKeySequence::Paste);
        QApplication::processEvents();
        EXPECT_EQ(control->Address(), (Address{192, 168, 1, 50})) << "field " << field;
    }
    // Not an address: the field keeps what it had.
    CIpAddressCtrl control;
    control.SetAddress({1, 2, 3, 4});
    for (const char* text : {"300.1.1.1", "1.2.3", "a.b.c.d"}) {
        QApplication::clipboard()->setText(QString::fromLatin1(text));
        control.Field(1)->selectAll();
        QTest::keySequence(control.Field(1), QKeySequence::Paste);
        QApplication::processEvents();
        EXPECT_EQ(control.Address(), (Address{1, 2, 3, 4})) << text;
    }
}

TEST(IpAddressCtrl, TabReachesTheFourFieldsInOrder)
{
    QWidget window;
    auto* before = new QLineEdit(&window);
    auto* control = new CIpAddressCtrl(&window);
    auto* after = new QLineEdit(&window);
    QWidget::setTabOrder(before, control);
    QWidget::setTabOrder(control->Field(3), after);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    before->setFocus();
    std::vector<QWidget*> reached;
    for (int i = 0; i < 5; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        reached.push_back(QApplication::focusWidget());
    }
    EXPECT_EQ(reached, (std::vector<QWidget*>{control->Field(0), control->Field(1), control->Field(2),
                                              control->Field(3), after}));
    EXPECT_EQ(control->Field(2)->accessibleName(), QStringLiteral("IP address, part 3 of 4"));
}

}  // namespace
