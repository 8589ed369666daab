#pragma once

#include "app/color_panel.h"
#include "app/logo_panel.h"
#include "config/current_configuration.h"
#include "framework/widgets/dialog.h"
#include "logos/logo_list.h"

#include <QString>

#include <memory>

class CStoreLock;
class QAction;
class QPaintEvent;

// Where the main window finds its model file and keeps its logo list. Empty
// fields mean the program's own places: NV.inf beside the executable and the
// per-user logo store. Tests name temporary ones.
struct MainDlgPaths {
    QString modelFile;
    QString logoStoreRoot;
};

// The main window (template IDD_MAINDLG_DIALOG): the current printer model
// and its communication settings, the logo list, the colour separation
// controls with the preview, and the buttons that configure the port,
// download and print. The constructor builds the controls; OnInitDialog, run
// when the window opens, loads the model file and restores the logo list
// (messages may be shown from there). Closing the window in any way ("EXIT",
// Escape, the close box) saves the logo list and frees it. The window owns the
// list and the settings; its colour half (sliders, swatches, radios, preview)
// is a CColorPanel and its logo half (the list view, the summary, Open File,
// Remove, Reset, drops, import and compose) a CLogoPanel, both on the
// window's controls. Everything runs on its thread.
class CMainDlg : public CDialog {
    Q_OBJECT

public:
    explicit CMainDlg(QWidget* parent = nullptr);
    explicit CMainDlg(const MainDlgPaths& paths, QWidget* parent = nullptr);
    ~CMainDlg() override;

    // What the window holds, for the download and print paths that follow.
    const CurrentConfiguration& Configuration() const { return m_config; }
    const CLogoList& LogoList() const { return m_logos; }
    const SeparationColors& Colors() const { return m_colorPanel->Colors(); }
    const QString& PreviewPath() const { return m_logoPanel->PreviewPath(); }

    // The window's menu command: the About item (IDM_ABOUTBOX) opens the
    // About box; other commands are ignored.
    void OnSysCommand(int id);

    // True when another running window holds the same logo store and the
    // operator chose to quit: the window does not open (exec() returns
    // Rejected without showing it).
    bool StartRefused() const { return m_startRefused; }
    // True when the window runs beside another one on the same store: it
    // saves neither the logo list nor port settings.
    bool IsReadOnly() const { return m_readOnly; }

    // Every close path ends here, so the list is saved exactly once.
    void done(int result) override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Start-up (main_dlg.cpp).
    void FindControls();
    void ConnectControls();
    bool OnInitDialog() override;
    void AddAboutItem();
    void LoadStartupState();
    // Takes the store's lock; when another window holds it, asks whether to
    // go on read-only (true) or quit (false). main_dlg_store.cpp.
    bool LockStore(const QString& lockPath);
    void LoadConfiguration();
    void ShowConfiguration();
    void ShowSerialLabels(bool serial);
    void OnPortSetting();
    void OnDownload();
    void OnPrint();
    void OnDestroy();
    // The logo half's check before a download (main_dlg_download.cpp).
    bool RefuseLogosWiderThanPaper() const { return m_logoPanel->RefuseLogosWiderThanPaper(); }

    MainDlgPaths m_paths;
    QString m_modelFilePath;

    // Controls, owned by the dialog through their Qt parent.
    QAction* m_aboutAction = nullptr;

    // Model and communication settings, and the limits of the logo list.
    CurrentConfiguration m_config;
    CLogoList m_logos;
    bool m_destroyed = true;  // nothing to save before a run has started (OnInitDialog)
    std::unique_ptr<CStoreLock> m_storeLock;
    bool m_readOnly = false;
    bool m_startRefused = false;

    // The colour half and the logo half; made once the controls exist.
    std::unique_ptr<CColorPanel> m_colorPanel;
    std::unique_ptr<CLogoPanel> m_logoPanel;
};
