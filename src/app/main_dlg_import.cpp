#include "app/main_dlg.h"

#include "import/import_dlg.h"
#include "framework/message_box.h"
#include "framework/regular_file.h"
#include "imaging/bitmap_surface.h"
#include "import/picture_loader.h"

#include <QFileInfo>
#include <QImageReader>
#include <QTreeWidget>

// Pictures that are not ready-made logos go through the import dialog: any
// format other than BMP, and BMPs wider than the printable width.

namespace {

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

QString CMainDlg::OpenFileFilter()
{
    const QStringList pictures = PictureNameFilters();
    return QStringLiteral("BMP images (*.bmp)|*.bmp|All pictures (%1)|%2|All files (*)|*||")
        .arg(pictures.join(' '), pictures.join(';'));
}

bool CMainDlg::IsLogoReady(const QString& path) const
{
    return IsReadyMadeLogo(path, m_config.receiptWidth);
}

void CMainDlg::ImportPicture(const QString& path)
{
    ImportSettings initial;
    initial.modelType = m_config.modelType;
    initial.receiptWidth = m_config.receiptWidth > 0 ? m_config.receiptWidth : 576;
    LogoSettings settings;
    const std::optional<QString> logo = CImportDlg::ImportFile(path, initial, this, &settings);
    if (logo)
        m_logos.AddLogoFile(*logo, settings);
}

bool CMainDlg::RefuseLogosWiderThanPaper() const
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
