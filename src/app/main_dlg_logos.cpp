#include "app/grid_line_delegate.h"
#include "app/main_dlg.h"

#include "framework/message_box.h"
#include "framework/widgets/file_dialogs.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QSlider>
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
    m_logoView->setItemDelegate(new CGridLineDelegate(m_logoView));
}

LogoSettings CMainDlg::CurrentLogoSettings() const
{
    return {m_threshold, m_rValue, m_lValue, m_colorChoice};
}

void CMainDlg::FillLogoView()
{
    m_logoView->clear();
    for (const LogoEntry* entry : m_logos.Entries()) {
        auto* item = new QTreeWidgetItem(m_logoView);
        item->setText(0, QString::number(entry->number));
        item->setText(1, entry->name);
        item->setText(2, QString::number(entry->byteSize >> 10));
        for (int column = 0; column < m_logoView->columnCount(); ++column)
            item->setTextAlignment(column, Qt::AlignCenter);
    }
}

void CMainDlg::UpdateSummary()
{
    UpdateData(true);
    m_summaryText = m_logos.SummaryText(m_logoView->topLevelItemCount());
    UpdateData(false);
}

void CMainDlg::OnOpenFile()
{
    FileDialogRequest request;
    request.mode = FileDialogRequest::OpenMany;
    request.filter = OpenFileFilter();
    request.parent = this;
    // In the order the dialog returns them; a refused file does not stop
    // the ones after it, each repeats its message.
    AddLogoPaths(ShowFileDialog(request));
}

void CMainDlg::OnRemove()
{
    std::vector<int> rows;
    for (const QModelIndex& index : m_logoView->selectionModel()->selectedRows())
        rows.push_back(index.row());
    if (rows.empty()) {
        ShowMessage(QStringLiteral("Without a bmpfile being selected."), MessageIcon::Exclamation);
    } else if (ShowMessage(QStringLiteral("Do you want to remove all of selection?"), MessageIcon::Question,
                           MessageButtons::YesNo, QStringLiteral("BMP Logo!")) == IDYES) {
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
    DrawPreview();
}

void CMainDlg::OnReset()
{
    m_logoView->clear();
    m_previewPath.clear();
    m_logos.SetCurrentEntryNumber(-1);
    m_logos.FreeAllLogos();
    UpdateSummary();
    DrawPreview();
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
    SetSliderPosition(m_thresholdSlider, entry->threshold);
    SetSliderPosition(m_rSlider, entry->rValue);
    SetSliderPosition(m_lSlider, entry->lValue);
    m_colorChoice = entry->colorMode;
    UpdateData(false);
    // The second ink and the cartridge swatches follow the logo's choice.
    const bool invert = m_invert != 0;
    if (m_colorChoice >= kColorModeRed && m_colorChoice <= kColorModeBlue) {
        const Rgb ink = m_colors.palette[static_cast<std::size_t>(m_colorChoice)];
        if (invert)
            m_colors.lColor = ink;
        m_rCartridgeSwatch = ink.ToColorRef();
    } else if (m_colorChoice == kColorModeNotUsed) {
        if (invert)
            m_colors.lColor = Rgb{0, 0, 0};
        m_lCartridgeSwatch = RGB(0, 0, 0);
    }
    UpdateColorSettings();
    DrawPreview();
}
