// The main window's claim on the logo store: one window at a time writes it.
#include "app/main_dlg.h"

#include "framework/message_box.h"
#include "logos/store_lock.h"
#include "res/resource_ids.h"

#include <QDir>
#include <QPushButton>

bool CMainDlg::LockStore(const QString& lockPath)
{
    if (lockPath.isEmpty())
        return true;
    m_storeLock = std::make_unique<CStoreLock>(lockPath);
    // A lock file that cannot be made (no folder, no rights) does not stop
    // the window: saving the list then fails and says why.
    if (m_storeLock->TryLock() != CStoreLock::Result::HeldByOther)
        return true;
    const QString question =
        QStringLiteral("Markograph is already running with this logo list and these settings (%1).\n"
                       "Two windows would overwrite each other's changes.\n\n"
                       "Yes: open this window read-only; its logo list and port settings are not saved.\n"
                       "No: quit.")
            .arg(m_storeLock->Holder());
    m_storeLock.reset();
    m_readOnly = true;
    if (ShowMessage(question, MessageIcon::Question, MessageButtons::YesNo) == win::kIdYes) {
        Control<QPushButton>(IDC_PORT_SETTING)->setEnabled(false);
        return true;
    }
    m_startRefused = true;
    return false;
}
