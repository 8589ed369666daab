#pragma once

#include "app/color_panel.h"
#include "config/current_configuration.h"
#include "framework/widgets/dialog.h"
#include "logos/logo_list.h"

#include <QString>

#include <memory>

class CStoreLock;
class QAction;
class QLabel;
class QMimeData;
class QPaintEvent;
class QTreeWidget;

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
// is a CColorPanel on the window's controls. Everything runs on its thread.
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
    const QString& PreviewPath() const { return m_previewPath; }

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
    bool eventFilter(QObject* watched, QEvent* event) override;

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
    // Moves the bound summary between its control and the member: true reads
    // the control, false shows the member.
    void UpdateData(bool saveAndValidate);
    void OnPortSetting();
    void OnDownload();
    void OnPrint();
    void OnDestroy();

    // Logo list (main_dlg_logos.cpp).
    void InitLogoView();
    void FillLogoView();
    void UpdateSummary();
    QString OpenFileFolder() const;
    void OnOpenFile();
    void AddLogoFiles(const QStringList& paths);
    static QStringList DroppedLogoFiles(const QMimeData* data);
    bool HandleLogoDrop(QEvent* event);
    void OnRemove();
    void OnReset();
    void OnLogoSelectionChanged();
    void OnLogoItemChanged(int row);
    // The logo the preview shows: the current one, while its path is the one
    // on show.
    const LogoEntry* PreviewEntry();

    // Pictures (main_dlg_import.cpp): a BMP that fits the paper goes to the
    // list as it is; anything else (another format, a BMP wider than the
    // printable width) goes through the import dialog.
    static QString OpenFileFilter();
    bool IsLogoReady(const QString& path) const;
    // Before a download or Save File: logos wider than the printable width
    // (added for another model) are named and nothing goes out. True when
    // the operation must stop.
    bool RefuseLogosWiderThanPaper() const;
    void ImportPicture(const QString& path);

    // Compose (main_dlg_compose.cpp): a logo of text, a QR code and a
    // picture, from the window's context menu (Ctrl+K); OK adds it to the list.
    void AddComposeItem();
    void OnCompose();

    MainDlgPaths m_paths;
    QString m_modelFilePath;

    // Controls, owned by the dialog through their Qt parent.
    QTreeWidget* m_logoView = nullptr;
    QLabel* m_summary = nullptr;
    QAction* m_aboutAction = nullptr;
    QAction* m_composeAction = nullptr;

    // Model and communication settings, and the limits of the logo list.
    CurrentConfiguration m_config;
    CLogoList m_logos;
    bool m_destroyed = true;  // nothing to save before a run has started (OnInitDialog)
    std::unique_ptr<CStoreLock> m_storeLock;
    bool m_readOnly = false;
    bool m_startRefused = false;

    // Bound values (UpdateData).
    QString m_summaryText;

    // The colour half; made once the controls exist.
    std::unique_ptr<CColorPanel> m_colorPanel;
    QString m_previewPath;  // the logo on show
    QString m_lastLogoFolder;  // where Open File starts
};
