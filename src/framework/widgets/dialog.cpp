#include "framework/widgets/dialog.h"

#include "framework/widgets/dialog_template.h"

#include <QPointer>
#include <QShowEvent>
#include <QtGlobal>

CDialog::CDialog(const DialogTemplate& layout, QWidget* parent) : QDialog(parent)
{
    BuildDialog(this, layout);
}

CDialog::~CDialog() = default;

int CDialog::exec()
{
    if (isVisible())
        return QDialog::exec();
    if (!OnInitDialog()) {
        EndDialog(QDialog::Rejected);
        return result();
    }
    m_initialisedForShow = true;
    // A dialog that deletes itself on close is gone when the loop returns.
    const QPointer<CDialog> guard(this);
    const int answer = QDialog::exec();
    if (guard)
        m_initialisedForShow = false;
    return answer;
}

void CDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    if (m_initialisedForShow) {
        m_initialisedForShow = false;
        return;
    }
    if (!OnInitDialog())
        QMetaObject::invokeMethod(this, [this] { EndDialog(QDialog::Rejected); }, Qt::QueuedConnection);
}

void CDialog::reject()
{
    // The close box reaches here through QDialog::closeEvent, which keeps
    // the window open when reject() leaves it visible.
    if (IsTalkingToPrinter())
        return;
    QDialog::reject();
}

void CDialog::ReportMissingControl(int id, const char* kind) const
{
    qWarning("%s: no control %d of kind %s", metaObject()->className(), id, kind);
}
