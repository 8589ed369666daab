#include "framework/widgets/responsive_clock.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QThread>

#include <algorithm>

namespace {

CWaitCountdown* g_countdown = nullptr;

// Refuses the operator's input to every window while it is installed.
class CInputRefusal : public QObject {
public:
    CInputRefusal() { qApp->installEventFilter(this); }
    ~CInputRefusal() override { qApp->removeEventFilter(this); }
    CInputRefusal(const CInputRefusal&) = delete;
    CInputRefusal& operator=(const CInputRefusal&) = delete;

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::ContextMenu:
            return true;
        case QEvent::Close:
            event->ignore();  // the close box does not end a window mid-wait
            return true;
        default:
            return false;
        }
    }
};

// The busy cursor, for the length of one wait.
class CBusyCursor {
public:
    CBusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CBusyCursor() { QApplication::restoreOverrideCursor(); }
    CBusyCursor(const CBusyCursor&) = delete;
    CBusyCursor& operator=(const CBusyCursor&) = delete;
};

bool OnWindowThread()
{
    return qApp && QThread::currentThread() == qApp->thread();
}

}  // namespace

CResponsiveClock::CResponsiveClock(CClock& base) : m_base(base) {}

void CResponsiveClock::Sleep(int ms)
{
    if (ms <= 0)
        return;
    if (!OnWindowThread()) {
        m_base.Sleep(ms);
        return;
    }
    WaitWithWindowsAlive(ms);
}

void CResponsiveClock::WaitWithWindowsAlive(int ms)
{
    const CInputRefusal refusal;
    const CBusyCursor busy;
    const qint64 deadline = m_base.NowMs() + ms;
    const QEventLoop::ProcessEventsFlags flags = QEventLoop::ExcludeSocketNotifiers;
    for (;;) {
        const qint64 left = deadline - m_base.NowMs();
        CWaitCountdown* countdown = CWaitCountdown::Current();
        if (countdown && left > 0)
            countdown->Show(left);
        QCoreApplication::processEvents(flags);
        if (left <= 0)
            break;
        m_base.Sleep(static_cast<int>(std::min<qint64>(left, kSliceMs)));
    }
}

CWaitCountdown::CWaitCountdown(std::function<void(int)> show) : m_show(std::move(show)), m_previous(g_countdown)
{
    g_countdown = this;
}

CWaitCountdown::~CWaitCountdown()
{
    g_countdown = m_previous;
}

CWaitCountdown* CWaitCountdown::Current()
{
    return g_countdown;
}

void CWaitCountdown::Show(qint64 msLeft)
{
    const int seconds = static_cast<int>((msLeft + 999) / 1000);
    if (seconds == m_shown)
        return;
    m_shown = seconds;
    m_show(seconds);
}
