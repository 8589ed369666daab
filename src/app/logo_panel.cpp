#include "app/logo_panel.h"

#include "app/color_panel.h"
#include "app/grid_line_delegate.h"
#include "compose/compose_dlg.h"
#include "framework/message_box.h"
#include "framework/regular_file.h"
#include "framework/widgets/dialog.h"
#include "framework/widgets/file_dialogs.h"
#include "imaging/bitmap_surface.h"
#include "import/import_dlg.h"
#include "import/picture_loader.h"
#include "logos/logo_value_text.h"
#include "res/resource_ids.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QImageReader>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QTreeWidget>
#include <QUrl>

#include <algorithm>

namespace {

struct LogoColumn {
    const char* heading;
    int width;  // pixels
};
constexpr LogoColumn kLogoColumns[] = {{"   No.", 50}, {"Name", 140}, {"Size", 86}};

// Pictures that are not ready-made logos go through the import dialog: any
// format other than BMP, and BMPs wider than the printable width.
bool IsReadyMadeLogo(const QString& path, int receiptWidth)
{
    // Never open a FIFO or a device to look at it: the list refuses it with
    // its reason.
    if (!NonRegularFileReason(path).isEmpty())
        return true;
    QImageReader reader(path);
    const QByteArray format = reader.format();
    // Without a printable width (no model file) there is nothing to fit to;
    // the list's own limits decide, as they always have.
    // The size is the one BMP decoder's: a file it refuses goes to the list,
    // which gives its message.
    if (format == "bmp") {
        const std::optional<QSize> size = CBitmapSurface::MeasureBmp(path);
        return receiptWidth <= 0 || !size || size->width() <= receiptWidth;
    }
    // Anything that is no picture at all goes to the list, which says
    // "Failed to load image file!" as it always has.
    const QString suffix = QFileInfo(path).suffix().toLower();
    return format.isEmpty() && suffix != "svg" && suffix != "svgz";
}

}  // namespace

CLogoPanel::CLogoPanel(CDialog* dialog, CLogoList& logos, const CurrentConfiguration& config, CColorPanel& colors)
    : m_dialog(dialog),
      m_logos(logos),
      m_config(config),
      m_colors(colors),
      m_logoView(dialog->Control<QTreeWidget>(IDC_LOGO_LIST)),
      m_summary(dialog->Control<QLabel>(IDC_SUMMARY))
{
    ConnectControls();
}

void CLogoPanel::ConnectControls()
{
    connect(m_dialog->Control<QPushButton>(IDC_OPEN_FILE), &QPushButton::clicked, this, &CLogoPanel::OnOpenFile);
    connect(m_dialog->Control<QPushButton>(IDC_REMOVE), &QPushButton::clicked, this, &CLogoPanel::OnRemove);
    connect(m_dialog->Control<QPushButton>(IDC_RESET), &QPushButton::clicked, this, &CLogoPanel::OnReset);
    connect(m_logoView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CLogoPanel::OnLogoSelectionChanged);
}

void CLogoPanel::OnInitDialog()
{
    UpdateData(false);
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

void CLogoPanel::FillLogoView()
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

void CLogoPanel::OnListRestored()
{
    if (!m_logos.IsEmpty())
        m_lastLogoFolder = QFileInfo(m_logos.Entries().back()->path).absolutePath();
}

void CLogoPanel::UpdateData(bool saveAndValidate)
{
    if (saveAndValidate) {
        m_summaryText = m_summary->text();
        return;
    }
    m_summary->setText(m_summaryText);
}

void CLogoPanel::UpdateSummary()
{
    UpdateData(true);
    m_summaryText = m_logos.SummaryText(m_logoView->topLevelItemCount());
    UpdateData(false);
}

// The Open File dialog's choices, first the one it starts with. More kinds
// of pictures go in here, each with its own way into the list (see
// AddLogoFiles).
void CLogoPanel::OnOpenFile()
{
    FileDialogRequest request;
    request.mode = FileDialogRequest::OpenMany;
    request.filter = OpenFileFilter();
    request.parent = m_dialog;
    request.directory = OpenFileFolder();
    AddLogoFiles(ShowFileDialog(request));
}

// Where Open File starts: the folder of the last logo added (or restored),
// else the sample logos when they are installed.
QString CLogoPanel::OpenFileFolder() const
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
void CLogoPanel::AddLogoFiles(const QStringList& paths)
{
    for (const QString& path : paths) {
        if (const QString problem = LogoPathProblem(path); !problem.isEmpty()) {
            ShowMessage(QStringLiteral("Cannot add %1\n%2").arg(QDir::toNativeSeparators(path), problem),
                        MessageIcon::Exclamation);
            continue;
        }
        if (IsLogoReady(path))
            m_logos.AddLogoFile(path, m_colors.CurrentSettings());
        else
            ImportPicture(path);
        m_lastLogoFolder = QFileInfo(path).absolutePath();
    }
    FillLogoView();
    UpdateSummary();
}

// Pictures dropped from a file manager (BMP or any format the import reads);
// anything else is not taken.
QStringList CLogoPanel::DroppedLogoFiles(const QMimeData* data)
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

bool CLogoPanel::HandleLogoDrop(QEvent* event)
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

void CLogoPanel::OnRemove()
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
    m_colors.DrawPreview();
}

void CLogoPanel::OnReset()
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
    m_colors.DrawPreview();
}

// The controls follow the row the operator moved to (the current row) once
// it is selected; a row that was only deselected changes nothing.
void CLogoPanel::OnLogoSelectionChanged()
{
    const QModelIndex current = m_logoView->currentIndex();
    if (current.isValid() && m_logoView->selectionModel()->isRowSelected(current.row(), current.parent()))
        OnLogoItemChanged(current.row());
}

void CLogoPanel::OnLogoItemChanged(int row)
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
    m_colors.ShowLogo(*entry);
}

// The preview shows the current logo only while it is the one selected last:
// a removed row leaves the preview blank though another logo takes its number.
const LogoEntry* CLogoPanel::PreviewEntry() const
{
    const LogoEntry* entry = m_logos.FindByNumber(m_logos.CurrentEntryNumber());
    return entry && !m_previewPath.isEmpty() && entry->path == m_previewPath ? entry : nullptr;
}

QString CLogoPanel::OpenFileFilter()
{
    const QStringList pictures = PictureNameFilters();
    return QStringLiteral("BMP images (*.bmp)|*.bmp|All pictures (%1)|%2|All files (*)|*||")
        .arg(pictures.join(' '), pictures.join(';'));
}

bool CLogoPanel::IsLogoReady(const QString& path) const
{
    return IsReadyMadeLogo(path, m_config.receiptWidth);
}

void CLogoPanel::ImportPicture(const QString& path)
{
    ImportSettings initial;
    initial.modelType = m_config.modelType;
    initial.receiptWidth = m_config.receiptWidth > 0 ? m_config.receiptWidth : 576;
    LogoSettings settings;
    const std::optional<QString> logo = CImportDlg::ImportFile(path, initial, m_dialog, &settings);
    if (logo)
        m_logos.AddLogoFile(*logo, settings);
}

bool CLogoPanel::RefuseLogosWiderThanPaper() const
{
    // Without a printable width there is nothing to measure against.
    if (m_config.receiptWidth <= 0)
        return false;
    QStringList wide;
    for (const LogoEntry* entry : m_logos.Entries()) {
        // Only the header is read; a file that is gone or no picture is the
        // conversion's to report.
        if (!NonRegularFileReason(entry->path).isEmpty())
            continue;
        const int width = QImageReader(entry->path).size().width();
        if (width > m_config.receiptWidth)
            wide << QStringLiteral("%1 (%2 dots)").arg(entry->name).arg(width);
    }
    if (wide.isEmpty())
        return false;
    ShowMessage(QStringLiteral("These logos are wider than the printer prints (%1 dots) and would be cut off:\r\n%2\r\n"
                               "Nothing was sent or saved. Remove them and open them again to fit them to the paper.")
                    .arg(m_config.receiptWidth)
                    .arg(wide.join(QStringLiteral("\r\n"))),
                MessageIcon::Exclamation);
    return true;
}

// The window's layout has no room for another button; Compose sits in the
// window's context menu (a right click) beside About, with its own shortcut.
void CLogoPanel::AddComposeItem()
{
    if (m_composeAction)
        return;
    m_composeAction = new QAction(QStringLiteral("&Compose Logo..."), m_dialog);
    m_composeAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
    connect(m_composeAction, &QAction::triggered, this, &CLogoPanel::OnCompose);
    m_dialog->addAction(m_composeAction);
}

void CLogoPanel::OnCompose()
{
    ImportSettings initial;
    initial.modelType = m_config.modelType;
    initial.receiptWidth = m_config.receiptWidth > 0 ? m_config.receiptWidth : 576;
    LogoSettings settings;
    const std::optional<QString> logo = CComposeDlg::ComposeFile(initial, m_dialog, &settings);
    if (!logo)
        return;
    m_logos.AddLogoFile(*logo, settings);
    FillLogoView();
    UpdateSummary();
}

bool CLogoPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_logoView->viewport() && HandleLogoDrop(event))
        return true;
    return QObject::eventFilter(watched, event);
}
