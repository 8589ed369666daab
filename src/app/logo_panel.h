#pragma once

#include "config/current_configuration.h"
#include "logos/logo_list.h"

#include <QObject>
#include <QString>
#include <QStringList>

class CColorPanel;
class CDialog;
class QAction;
class QLabel;
class QMimeData;
class QTreeWidget;

// The logo half of the main window: the logo list view, the summary line
// below it, "Open File", "Remove" and "Reset", pictures dropped on the list,
// the picture import and the composed logos of the window's context menu. It
// works on the controls the window's template created (found by id below the
// dialog, which keeps owning them). The window owns the list and the model's
// settings and hands both in; the panel keeps which logo the preview shows
// and where "Open File" starts. Everything runs on the window's thread.
class CLogoPanel : public QObject {
public:
    // logos and config belong to the window and outlive the panel; colors
    // is the window's colour half, whose settings new logos take.
    CLogoPanel(CDialog* dialog, CLogoList& logos, const CurrentConfiguration& config, CColorPanel& colors);

    // The list view's columns, its selection and its drops, as the window
    // opens; "&Compose Logo..." (Ctrl+K) joins the window's context menu.
    void OnInitDialog();
    void AddComposeItem();

    // The list as restored at start-up: "Open File" starts in the folder of
    // its last logo.
    void OnListRestored();

    // Shows the list's entries and the summary line again.
    void FillLogoView();
    void UpdateSummary();

    // The logo the preview shows: the current one, while its path is the one
    // on show.
    const LogoEntry* PreviewEntry() const;
    const QString& PreviewPath() const { return m_previewPath; }

    // Before a download or Save File: logos wider than the printable width
    // (added for another model) are named and nothing goes out. True when
    // the operation must stop.
    bool RefuseLogosWiderThanPaper() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ConnectControls();
    // Moves the summary between its control and the member: true reads the
    // control, false shows the member.
    void UpdateData(bool saveAndValidate);
    QString OpenFileFolder() const;
    void OnOpenFile();
    void AddLogoFiles(const QStringList& paths);
    static QStringList DroppedLogoFiles(const QMimeData* data);
    bool HandleLogoDrop(QEvent* event);
    void OnRemove();
    void OnReset();
    void OnLogoSelectionChanged();
    void OnLogoItemChanged(int row);
    void OnCompose();

    // Pictures: a BMP that fits the paper goes to the list as it is;
    // anything else (another format, a BMP wider than the printable width)
    // goes through the import dialog.
    static QString OpenFileFilter();
    bool IsLogoReady(const QString& path) const;
    void ImportPicture(const QString& path);

    CDialog* m_dialog;
    CLogoList& m_logos;
    const CurrentConfiguration& m_config;
    CColorPanel& m_colors;

    // Controls, found by id once and owned by the dialog through their Qt
    // parent.
    QTreeWidget* const m_logoView;
    QLabel* const m_summary;
    QAction* m_composeAction = nullptr;

    // Bound value (UpdateData).
    QString m_summaryText;

    QString m_previewPath;     // the logo on show
    QString m_lastLogoFolder;  // where Open File starts
};
