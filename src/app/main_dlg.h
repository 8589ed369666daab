#pragma once

#include "app/preview_source.h"
#include "config/current_configuration.h"
#include "framework/colorref.h"
#include "imaging/separation_colors.h"
#include "logos/logo_list.h"

#include <QDialog>
#include <QRect>
#include <QString>

#include <memory>

class CStoreLock;
class QAction;
class QImage;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMimeData;
class QPaintEvent;
class QPainter;
class QSlider;
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
// download and print. The constructor builds the controls and runs
// OnInitDialog, which loads the model file and restores the logo list (messages
// may be shown from there). Closing the window in any way ("EXIT", Escape,
// the close box) saves the logo list and frees it. The window owns the list,
// the settings and the colour state; everything runs on its thread.
class CMainDlg : public QDialog {
    Q_OBJECT

public:
    explicit CMainDlg(QWidget* parent = nullptr);
    explicit CMainDlg(const MainDlgPaths& paths, QWidget* parent = nullptr);
    ~CMainDlg() override;

    // What the window holds, for the download and print paths that follow.
    const CurrentConfiguration& Configuration() const { return m_config; }
    const CLogoList& LogoList() const { return m_logos; }
    const SeparationColors& Colors() const { return m_colors; }
    const QString& PreviewPath() const { return m_previewPath; }
    int ColorChoice() const { return m_colorChoice; }

    // The window's menu command: the About item (IDM_ABOUTBOX) opens the
    // About box; other commands are ignored.
    void OnSysCommand(int id);

    // True when another running window holds the same logo store and the
    // operator chose to quit: the window is not to be shown.
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
    void OnInitDialog();
    void AddAboutItem();
    void InitSliders();
    void LoadStartupState();
    // Takes the store's lock; when another window holds it, asks whether to
    // go on read-only (true) or quit (false). main_dlg_store.cpp.
    bool LockStore(const QString& lockPath);
    void LoadConfiguration();
    void ShowConfiguration();
    void ShowSerialLabels(bool serial);
    void EnableColorControls(const CModelType& modelType);
    // Moves the bound values between the controls and the members: true reads
    // the controls, false shows the members.
    void UpdateData(bool saveAndValidate);
    void OnPortSetting();
    void OnDownload();
    void OnPrint();
    void OnDestroy();

    // Logo list (main_dlg_logos.cpp).
    void InitLogoView();
    LogoSettings CurrentLogoSettings() const;
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
    void ShowEntrySettings(const LogoEntry& entry);

    // Pictures (main_dlg_import.cpp): a BMP that fits the paper goes to the
    // list as it is; anything else (another format, a BMP wider than the
    // printable width) goes through the import dialog.
    static QString OpenFileFilter();
    bool IsLogoReady(const QString& path) const;
    void ImportPicture(const QString& path);

    // Colour controls and preview (main_dlg_colors.cpp).
    void UpdateColorSettings();
    LogoEntry* PreviewEntry();
    const QImage& RenderPreview();
    void DrawPreview();
    void SaveEntrySettings();
    void OnSliderReleased();
    void OnInvertCheck();
    void OnColorClicked(int id);
    void OnColorRed();
    void OnColorGreen();
    void OnColorBlue();
    void OnColorNotUsed();
    void SetSliderPosition(QSlider* slider, int position);
    void FillSwatch(int controlId, COLORREF colour);
    void FillSwatches();
    void PaintPreview(QPainter& painter);

    MainDlgPaths m_paths;
    QString m_modelFilePath;

    // Controls, owned by the dialog through their Qt parent.
    QTreeWidget* m_logoView = nullptr;
    QLabel* m_summary = nullptr;
    QSlider* m_thresholdSlider = nullptr;
    QSlider* m_rSlider = nullptr;
    QSlider* m_lSlider = nullptr;
    QLineEdit* m_thresholdEdit = nullptr;
    QLineEdit* m_rEdit = nullptr;
    QLineEdit* m_lEdit = nullptr;
    QButtonGroup* m_colorGroup = nullptr;
    QCheckBox* m_invertCheck = nullptr;
    QAction* m_aboutAction = nullptr;

    // Model and communication settings, and the limits of the logo list.
    CurrentConfiguration m_config;
    CLogoList m_logos;
    bool m_destroyed = false;
    std::unique_ptr<CStoreLock> m_storeLock;
    bool m_readOnly = false;
    bool m_startRefused = false;

    // Bound values (UpdateData).
    QString m_summaryText;
    int m_threshold = 0;
    int m_rValue = 0;
    int m_lValue = 0;
    int m_colorChoice = -1;  // 0 Red, 1 Green, 2 Blue, 3 Not Used; -1 no radio
    int m_invert = 0;

    // Colour state that is not stored per logo, and the swatches.
    SeparationColors m_colors;
    COLORREF m_rSwatch = RGB(0, 0, 0);
    COLORREF m_lSwatch = RGB(0, 0, 0);
    COLORREF m_thresholdSwatch = RGB(0, 0, 0);
    COLORREF m_rCartridgeSwatch = RGB(255, 0, 0);
    COLORREF m_lCartridgeSwatch = RGB(0, 0, 0);

    // The preview: the bitmap shown, where, and its separated image.
    QString m_previewPath;
    QRect m_previewRect;
    QString m_lastLogoFolder;  // where Open File starts
    CPreviewSource m_preview;
};
