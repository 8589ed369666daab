#pragma once

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <deque>
#include <functional>

// Acts on modal dialogs as they open, as the operator would: a step says
// beforehand what it will do with each dialog it expects (in the order they
// open), and the act runs once the dialog's modal loop is up. A dialog
// nobody expected is closed with reject() and noted, so that a journey
// never hangs in a dialog it did not foresee.
class CModalActor : public QObject {
public:
    using Act = std::function<void(QDialog&)>;

    CModalActor();
    ~CModalActor() override;

    // The next dialog of this class (its metaObject's className) gets act.
    void Expect(const char* className, Act act);
    // Forgets what the step expected and did not meet.
    void EndStep();
    QStringList TakeUnexpected();
    bool Saw(const char* className) const { return m_seen.contains(QString::fromLatin1(className)); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Expected {
        QString className;
        Act act;
    };
    void Dispatch(QPointer<QDialog> dialog);

    std::deque<Expected> m_expected;
    QStringList m_unexpected;
    QStringList m_seen;
};

// Runs check after each pass of the event loop until it returns true or
// the dialog is gone (bounded), then act. Used to wait for a download the
// dialog paces with its timer.
void WhenReady(QDialog& dialog, std::function<bool(QDialog&)> ready, std::function<void(QDialog&)> act,
               int triesLeft = 200000);
