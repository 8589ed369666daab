#include "dialog_gallery.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <set>

// Every dialog, as built at the scale factor the test runs at (ctest runs
// this suite at QT_SCALE_FACTOR 1, 1.5 and 2): no control on a group's frame
// or over another control, no text row cut off, every control named for
// assistive technology, and Tab reaching every control once. With
// MARKOGRAPH_SCREENSHOT_DIR set, each dialog is also saved there as
// NAME-Nx.png (scripts/screenshots.sh).

namespace {

QString Describe(const QWidget* widget)
{
    QString text;
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
        text = button->text();
    else if (const auto* label = qobject_cast<const QLabel*>(widget))
        text = label->text();
    return QStringLiteral("%1 %2 \"%3\"").arg(QString::fromLatin1(widget->metaObject()->className()),
                                              widget->objectName(), text.simplified());
}

// The dialog's own controls that are shown (group boxes apart).
std::vector<QWidget*> Controls(const QDialog& dialog, std::vector<QGroupBox*>* groups)
{
    std::vector<QWidget*> controls;
    for (QWidget* child : dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!child->isVisibleTo(&dialog) || child->isWindow())
            continue;
        if (auto* group = qobject_cast<QGroupBox*>(child))
            groups->push_back(group);
        else
            controls.push_back(child);
    }
    return controls;
}

QStringList LayoutFaults(const QDialog& dialog)
{
    std::vector<QGroupBox*> groups;
    const std::vector<QWidget*> controls = Controls(dialog, &groups);
    QStringList faults;
    for (QWidget* control : controls) {
        const QRect rect = control->geometry();
        for (QGroupBox* group : groups) {
            // Inside a group a control lies below its title and within its
            // lines; the line runs through the middle of the title.
            const int titleHeight = group->title().isEmpty() ? 1 : group->fontMetrics().height();
            const QRect g = group->geometry();
            const QRect inside(g.x() + 1, g.y() + titleHeight, g.width() - 2, g.height() - titleHeight - 1);
            if (rect.intersects(g) && !inside.contains(rect))
                faults << QStringLiteral("%1 crosses the frame of group \"%2\"").arg(Describe(control), group->title());
        }
        if (!rect.intersects(dialog.rect()) || !dialog.rect().contains(rect))
            faults << QStringLiteral("%1 lies outside the dialog").arg(Describe(control));
    }
    for (size_t i = 0; i < controls.size(); ++i) {
        for (size_t j = i + 1; j < controls.size(); ++j) {
            if (controls[i]->geometry().intersects(controls[j]->geometry()))
                faults << QStringLiteral("%1 overlaps %2").arg(Describe(controls[i]), Describe(controls[j]));
        }
    }
    return faults;
}

// Rows of text too low for the font: descenders would be cut off.
QStringList ClippedTexts(const QDialog& dialog)
{
    QStringList faults;
    std::vector<QGroupBox*> groups;
    for (QWidget* control : Controls(dialog, &groups)) {
        const bool text = qobject_cast<QLabel*>(control) || qobject_cast<QAbstractButton*>(control) ||
                          qobject_cast<QLineEdit*>(control) || qobject_cast<QComboBox*>(control);
        if (!text)
            continue;
        const auto* label = qobject_cast<QLabel*>(control);
        const int lines = label ? static_cast<int>(label->text().count(QLatin1Char('\n'))) + 1 : 1;
        const int needed = control->fontMetrics().height() * lines;
        if (control->contentsRect().height() < needed)
            faults << QStringLiteral("%1 is %2 high for %3 of text").arg(Describe(control)).arg(control->height()).arg(needed);
        // A radio button or check box shows its whole caption.
        if (const auto* button = qobject_cast<const QAbstractButton*>(control);
            button && !qobject_cast<const QPushButton*>(control) && button->sizeHint().width() > button->width())
            faults << QStringLiteral("%1 is %2 wide for %3").arg(Describe(control)).arg(button->width()).arg(button->sizeHint().width());
        // A one-line label must show its whole text (elided ones say so by
        // their tooltip).
        if (label && !label->wordWrap() && label->toolTip().isEmpty()) {
            int widest = 0;
            for (const QString& line : label->text().split(QLatin1Char('\n')))
                widest = std::max(widest, label->fontMetrics().horizontalAdvance(line));
            if (label->contentsRect().width() < widest)
                faults << QStringLiteral("%1 is %2 wide for %3 of text").arg(Describe(control)).arg(label->width()).arg(widest);
        }
    }
    return faults;
}

QStringList UnnamedControls(const QDialog& dialog)
{
    QStringList faults;
    std::vector<QGroupBox*> groups;
    for (QWidget* control : Controls(dialog, &groups)) {
        if (qobject_cast<QLabel*>(control))
            continue;  // a label is read by its text
        if (control->accessibleName().isEmpty())
            faults << Describe(control);
    }
    return faults;
}

// The widgets Tab reaches from the first one, once round.
std::vector<QWidget*> TabCycle(QDialog& dialog)
{
    std::vector<QWidget*> cycle;
    QWidget* first = dialog.nextInFocusChain();
    while (first != &dialog && !(first->isVisible() && first->isEnabled() && (first->focusPolicy() & Qt::TabFocus)))
        first = first->nextInFocusChain();
    first->setFocus(Qt::TabFocusReason);
    for (int i = 0; i < 100; ++i) {
        QWidget* focus = QApplication::focusWidget();
        if (!focus || (!cycle.empty() && focus == cycle.front()))
            break;
        cycle.push_back(focus);
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    return cycle;
}

std::set<QWidget*> TabStops(const QDialog& dialog)
{
    std::set<QWidget*> stops;
    for (QWidget* widget : dialog.findChildren<QWidget*>()) {
        if (widget->isVisible() && widget->isEnabled() && (widget->focusPolicy() & Qt::TabFocus) &&
            !widget->focusProxy() && widget->window() == &dialog)
            stops.insert(widget);
    }
    return stops;
}

class DialogLayout : public ::testing::Test {
protected:
    CDialogGallery m_gallery;
};

TEST_F(DialogLayout, EveryDialogIsLaidOutCleanlyNamedAndReachableByTab)
{
    const QString screenshots = qEnvironmentVariable("MARKOGRAPH_SCREENSHOT_DIR");
    for (const CDialogGallery::Entry& entry : m_gallery.Entries()) {
        SCOPED_TRACE(entry.name.toStdString());
        std::unique_ptr<QDialog> dialog = entry.open();
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        QApplication::processEvents();
        EXPECT_EQ(LayoutFaults(*dialog).join(u'\n').toStdString(), "");
        EXPECT_EQ(ClippedTexts(*dialog).join(u'\n').toStdString(), "");
        EXPECT_EQ(UnnamedControls(*dialog).join(u'\n').toStdString(), "");
        // Every window has a fixed size: its title bar offers no maximise.
        EXPECT_TRUE(dialog->windowFlags().testFlag(Qt::CustomizeWindowHint));
        EXPECT_FALSE(dialog->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));

        const std::vector<QWidget*> cycle = TabCycle(*dialog);
        const std::set<QWidget*> reached(cycle.begin(), cycle.end());
        QStringList order;
        for (QWidget* widget : cycle)
            order << Describe(widget);
        EXPECT_EQ(reached.size(), cycle.size()) << "Tab visits a control twice: " << order.join(u'\n').toStdString();
        QStringList missed;
        for (QWidget* stop : TabStops(*dialog)) {
            if (!reached.count(stop))
                missed << Describe(stop);
        }
        EXPECT_EQ(missed.join(u'\n').toStdString(), "") << "Tab never reaches these";

        if (!screenshots.isEmpty()) {
            const QString scale = QString::number(dialog->devicePixelRatioF());
            const QString path = QDir(screenshots).filePath(QStringLiteral("%1-%2x.png").arg(entry.name, scale));
            EXPECT_TRUE(dialog->grab().save(path)) << path.toStdString();
        }
        dialog->hide();
    }
}

}  // namespace
