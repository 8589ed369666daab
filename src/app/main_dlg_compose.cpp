#include "app/main_dlg.h"

#include "compose/compose_dlg.h"

#include <QAction>

// The window's layout has no room for another button; Compose sits in the
// window's context menu (a right click) beside About, with its own shortcut.
void CMainDlg::AddComposeItem()
{
    if (m_composeAction)
        return;
    m_composeAction = new QAction(QStringLiteral("&Compose Logo..."), this);
    m_composeAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
    connect(m_composeAction, &QAction::triggered, this, &CMainDlg::OnCompose);
    addAction(m_composeAction);
}

void CMainDlg::OnCompose()
{
    ImportSettings initial;
    initial.modelType = m_config.modelType;
    initial.receiptWidth = m_config.receiptWidth > 0 ? m_config.receiptWidth : 576;
    LogoSettings settings;
    const std::optional<QString> logo = CComposeDlg::ComposeFile(initial, this, &settings);
    if (!logo)
        return;
    m_logos.AddLogoFile(*logo, settings);
    FillLogoView();
    UpdateSummary();
}
