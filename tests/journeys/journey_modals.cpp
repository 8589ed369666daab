#include "journeys/journey_modals.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>

CModalActor::CModalActor() { qApp->installEventFilter(this); }

CModalActor::~CModalActor() { qApp->removeEventFilter(this); }

void CModalActor::Expect(const char* className, Act act)
{
    m_expected.push_back({QString::fromLatin1(className), std::move(act)});
}

void CModalActor::EndStep()
{
    m_expected.clear();
    m_seen.clear();
}

QStringList CModalActor::TakeUnexpected()
{
    QStringList taken;
    taken.swap(m_unexpected);
    return taken;
}

bool CModalActor::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show) {
        auto* dialog = qobject_cast<QDialog*>(watched);
        if (dialog && dialog->isModal()) {
            // After the show: exec() enters its loop and then the act runs.
            QPointer<QDialog> guarded(dialog);
            QTimer::singleShot(0, this, [this, guarded] { Dispatch(guarded); });
        }
    }
    return QObject::eventFilter(watched, event);
}

void CModalActor::Dispatch(QPointer<QDialog> dialog)
{
    if (!dialog || !dialog->isVisible())
        return;
    const QString name = QString::fromLatin1(dialog->metaObject()->className());
    m_seen << name;
    if (!m_expected.empty() && m_expected.front().className == name) {
        Act act = std::move(m_expected.front().act);
        m_expected.pop_front();
        act(*dialog);
        return;
    }
    m_unexpected << name;
    dialog->reject();
}

void WhenReady(QDialog& dialog, std::function<bool(QDialog&)> ready, std::function<void(QDialog&)> act, int triesLeft)
{
    QPointer<QDialog> guarded(&dialog);
    QTimer::singleShot(0, &dialog, [guarded, ready = std::move(ready), act = std::move(act), triesLeft]() mutable {
        if (!guarded || !guarded->isVisible())
            return;
        if (ready(*guarded) || triesLeft <= 0) {
            act(*guarded);
            return;
        }
        WhenReady(*guarded, std::move(ready), std::move(act), triesLeft - 1);
    });
}
