#include "app/grid_line_delegate.h"
#include "app/main_dlg.h"

#include "framework/message_box.h"
#include "framework/widgets/file_dialogs.h"
#include "import/picture_loader.h"
#include "logos/logo_value_text.h"

#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QMimeData>
#include <QUrl>
#include <QItemSelectionModel>
#include <QLabel>
#include <QTreeWidget>

#include <algorithm>

namespace {

struct LogoColumn {
    const char* heading;
    int width;  // pixels
};
constexpr LogoColumn kLogoColumns[] = {{"   No.", 50}, {"Name", 140}, {"Size", 86}};

}  // namespace

void CMainDlg::InitLogoView()
{
    QStringList headings;
    for (const LogoColumn& column : kLogoColumns)
        headings << QString::fromLatin1(column.heading);
    m_logoView->setColumnCount(static_cast<int>(headings.size()));
    m_logoView->setHeaderLabels(headings);
    m_logoView->header()->setStretchLastSection(false);
    m_logoView->header()->setDefaultAlignment(Qt::AlignCenter);
    for (int i = 0; i < m_logoView->columnCount(); ++i)
        m_logoView->setColumnWidth(i, kLogoColumns[i].width);
    m_logoView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_logoView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_logoView->setAllColumnsShowFocus(true);
    m_logoView->setUniformRowHeights(true);
    m_logoView->setTextElideMode(Qt::ElideMiddle);
    m_logoView->setItemDelegate(new CGridLineDelegate(m_logoView));
    m_logoView->setAccessibleName(QStringLiteral("Logo list"));
    // BMP files dropped on the list join it as Open File adds them.
    m_logoView->setAcceptDrops(true);
    m_logoView->viewport()->setAcceptDrops(true);
    m_logoView->setDragDropMode(QAbstractItemView::DropOnly);
    m_logoView->viewport()->installEventFilter(this);
}

void CMainDlg::FillLogoView()
{
    m_logoView->clear();
    for (const LogoEntry* entry : m_logos.Entries()) {
        auto* item = new QTreeWidgetItem(m_logoView);
        item->setText(0, QString::number(entry->number));
        item->setText(1, entry->name);
        item->setText(2, QString::number(entry->byteSize >> 10));
        // A long name is elided by the view; the tooltip tells the whole path.
        for (int column = 0; column < m_logoView->columnCount(); ++column) {
            item->setTextAlignment(column, Qt::AlignCenter);
            item->setToolTip(column, QDir::toNativeSeparators(entry->path));
        }
    }
}

void CMainDlg::UpdateSummary()
{
    UpdateData(true);
    m_summaryText = m_logos.SummaryText(m_logoView->topLevelItemCount());
    UpdateData(false);
}

// The Open File dialog's choices, first the one it starts with. More kinds
// of pictures go in here, each with its own way into the list (see
// AddLogoFiles).
void CMainDlg::OnOpenFile()
{
    FileDialogRequest request;
    request.mode = FileDialogRequest::OpenMany;
    request.filter = OpenFileFilter();
    request.parent = this;
    request.directory = OpenFileFolder();
    AddLogoFiles(ShowFileDialog(request));
}

// Where Open File starts: the folder of the last logo added (or restored),
// else the sample logos when they are installed.
QString CMainDlg::OpenFileFolder() const
{
    if (!m_lastLogoFolder.isEmpty() && QFileInfo(m_lastLogoFolder).isDir())
        return m_lastLogoFolder;
    const QString programFolder = QCoreApplication::applicationDirPath();
    for (const QString& relative : {QStringLiteral("../share/markograph/samples"), QStringLiteral("../../samples"),
                                    QStringLiteral("samples")}) {
        const QString folder = QDir::cleanPath(QDir(programFolder).filePath(relative));
        if (QFileInfo(folder).isDir())
            return folder;
    }
    return QString();
}

// The one way files join the list, from Open File and from a drop: in the
// order given, each with the colour settings on show (a picture that is not a
// ready-made logo goes through the import dialog first); a refused file does
// not stop the ones after it, each repeats its message. The list view and
// the summary follow in every case (also for none).
void CMainDlg::AddLogoFiles(const QStringList& paths)
{
    for (const QString& path : paths) {
        if (const QString problem = LogoPathProblem(path); !problem.isEmpty()) {
            ShowMessage(QStringLiteral("Cannot add %1\n%2").arg(QDir::toNativeSeparators(path), problem),
                        MessageIcon::Exclamation);
            continue;
        }
        if (IsLogoReady(path))
            m_logos.AddLogoFile(path, m_colorPanel->CurrentSettings());
        else
            ImportPicture(path);
        m_lastLogoFolder = QFileInfo(path).absolutePath();
    }
    FillLogoView();
    UpdateSummary();
}

// Pictures dropped from a file manager (BMP or any format the import reads);
// anything else is not taken.
QStringList CMainDlg::DroppedLogoFiles(const QMimeData* data)
{
    QStringList paths;
    if (!data || !data->hasUrls())
        return paths;
    for (const QUrl& url : data->urls()) {
        const QString path = url.toLocalFile();
        if (!path.isEmpty() && QDir::match(PictureNameFilters(), QFileInfo(path).fileName()) &&
            QFileInfo(path).isFile())
            paths << path;
    }
    return paths;
}

bool CMainDlg::HandleLogoDrop(QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDropEvent*>(event);
        if (!DroppedLogoFiles(drag->mimeData()).isEmpty())
            drag->acceptProposedAction();
        else
            drag->ignore();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const QStringList paths = DroppedLogoFiles(drop->mimeData());
        if (paths.isEmpty())
            return false;
        drop->acceptProposedAction();
        AddLogoFiles(paths);
        return true;
    }
    default:
        return false;
    }
}

void CMainDlg::OnRemove()
{
    std::vector<int> rows;
    for (const QModelIndex& index : m_logoView->selectionModel()->selectedRows())
        rows.push_back(index.row());
    if (rows.empty()) {
        ShowMessage(QStringLiteral("Without a bmpfile being selected."), MessageIcon::Exclamation);
    } else if (ShowMessage(QStringLiteral("Do you want to remove all of selection?"), MessageIcon::Question,
                           MessageButtons::YesNo, QStringLiteral("BMP Logo!")) == win::kIdYes) {
        // Highest row first: the entries below a removed one are renumbered,
        // those above keep their numbers.
        std::sort(rows.rbegin(), rows.rend());
        for (int row : rows)
            m_logos.RemoveLogo(row + 1);
        if (rows.size() == 1)
            m_previewPath.clear();
        FillLogoView();
        UpdateSummary();
    }
    m_colorPanel->DrawPreview();
}

void CMainDlg::OnReset()
{
    // Emptying the list loses every logo's tuned settings: asked first.
    // An empty list has nothing to lose.
    if (const int count = m_logos.Count(); count > 0) {
        const QString what = count == 1 ? QStringLiteral("Remove the logo from the list?")
                                        : QStringLiteral("Remove all %1 logos from the list?").arg(count);
        if (!AskBeforeLoss(what + QStringLiteral("\r\nTheir colour settings are lost; the files stay where they are.")))
            return;
    }
    m_logoView->clear();
    m_previewPath.clear();
    m_logos.SetCurrentEntryNumber(-1);
    m_logos.FreeAllLogos();
    UpdateSummary();
    m_colorPanel->DrawPreview();
}

// The controls follow the row the operator moved to (the current row) once
// it is selected; a row that was only deselected changes nothing.
void CMainDlg::OnLogoSelectionChanged()
{
    const QModelIndex current = m_logoView->currentIndex();
    if (current.isValid() && m_logoView->selectionModel()->isRowSelected(current.row(), current.parent()))
        OnLogoItemChanged(current.row());
}

void CMainDlg::OnLogoItemChanged(int row)
{
    const QTreeWidgetItem* item = m_logoView->topLevelItem(row);
    if (!item)
        return;
    const int number = item->text(0).toInt();
    const LogoEntry* entry = m_logos.FindByNumber(number);
    if (!entry || number == m_logos.CurrentEntryNumber())
        return;
    m_logos.SetCurrentEntryNumber(number);
    m_previewPath = entry->path;
    m_colorPanel->ShowLogo(*entry);
}

// The preview shows the current logo only while it is the one selected last:
// a removed row leaves the preview blank though another logo takes its number.
const LogoEntry* CMainDlg::PreviewEntry()
{
    const LogoEntry* entry = m_logos.FindByNumber(m_logos.CurrentEntryNumber());
    return entry && !m_previewPath.isEmpty() && entry->path == m_previewPath ? entry : nullptr;
}
