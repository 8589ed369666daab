#include "dialog_gallery.h"

#include "address/address_download_dlg.h"
#include "address/address_input_dlg.h"
#include "address/address_list_dlg.h"
#include "address/resolution_dlg.h"
#include "app/about_dlg.h"
#include "app/main_dlg.h"
#include "compose/compose_dlg.h"
#include "compose/compose_dlg_ids.h"
#include "config/port_config_dlg.h"
#include "framework/widgets/control_ids.h"
#include "res/resource_ids.h"
#include "download/upload_dlg.h"
#include "print/print_dlg.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTreeWidget>

namespace {

// A shop's name and address in two inks with its feedback page as a QR code,
// for a two-colour printer of 384 dots.
std::unique_ptr<QDialog> OpenComposeDialog()
{
    ImportSettings settings;
    settings.modelType = PrinterKind::TwoColor;
    settings.receiptWidth = 384;
    auto dlg = std::make_unique<CComposeDlg>(settings);
    dlg->show();
    FindControl<QWidget>(dlg.get(), IDC_COMPOSE_TEXT)->findChild<QPlainTextEdit*>()->setPlainText(
        QStringLiteral("Corner Café\n12 Harbour Street\nΚαλή όρεξη · Приятного аппетита"));
    FindControl<QCheckBox>(dlg.get(), IDC_COMPOSE_SHRINK)->setChecked(true);
    FindControl<QComboBox>(dlg.get(), IDC_COMPOSE_TEXT_INK)->setCurrentIndex(1);
    FindControl<QLineEdit>(dlg.get(), IDC_COMPOSE_QR)->setText(QStringLiteral("https://example.com/feedback"));
    return dlg;
}

}  // namespace

CDialogGallery::CDialogGallery()
{
    const QString logo = WriteTestLogo(m_dir, QStringLiteral("shop-logo.bmp"), 64, 32);
    const QString sample = QStringLiteral(MARKOGRAPH_SAMPLES_DIR "/red-black.bmp");
    const PortSettings twoColor = m_twoColor.Ethernet();
    const PortSettings mono = m_mono.Ethernet();
    m_entries = {
        {QStringLiteral("main"),
         [this, sample] {
             auto dlg = std::make_unique<CMainDlg>(MainDlgPaths{WriteModelFile(PrinterKind::TwoColor), m_dir.Path("store")});
             m_files.QueueAnswer({sample});
             dlg->show();
             FindControl<QAbstractButton>(dlg.get(), IDC_OPEN_FILE)->click();
             // The logo selected, so that the preview shows it.
             auto* view = FindControl<QTreeWidget>(dlg.get(), IDC_LOGO_LIST);
             view->setCurrentItem(view->topLevelItem(0));
             return std::unique_ptr<QDialog>(std::move(dlg));
         }},
        {QStringLiteral("port-setting"),
         [this] { return std::make_unique<CPortConfigDlg>(nullptr, WriteModelFile(PrinterKind::TwoColor)); }},
        {QStringLiteral("port-setting-serial"),
         [this] {
             QString path = WriteModelFile(PrinterKind::TwoColor);
             QFile file(path);
             QByteArray text;
             if (file.open(QIODevice::ReadOnly))
                 text = file.readAll().replace("INTERFACE=3", "INTERFACE=0");
             file.close();
             if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
                 file.write(text);
             return std::make_unique<CPortConfigDlg>(nullptr, path);
         }},
        {QStringLiteral("upload"),
         [mono, logo] {
             return std::make_unique<CUploadDlg>(nullptr, PrinterKind::Mono, mono, QStringLiteral("TX-100 Image download dialog"),
                                                 ConvertLogos(PrinterKind::Mono, {logo}));
         }},
        {QStringLiteral("print"), [mono] { return std::make_unique<CPrintDlg>(nullptr, mono); }},
        {QStringLiteral("address-list"),
         [twoColor] {
             return std::make_unique<CAddressListDlg>(twoColor, twoColor.interfaceKind, FormatIpAddress(twoColor.ipAddress),
                                                      twoColor.tcpPort);
         }},
        {QStringLiteral("address-download"),
         [twoColor, logo] {
             return std::make_unique<CAddressDownloadDlg>(twoColor, twoColor.interfaceKind,
                                                          FormatIpAddress(twoColor.ipAddress), twoColor.tcpPort,
                                                          QStringLiteral("TX-200"),
                                                          ConvertLogos(PrinterKind::TwoColor, {logo}));
         }},
        {QStringLiteral("address-input"),
         [] { return std::make_unique<CAddressInputDlg>(QStringList{QStringLiteral("01"), QStringLiteral("A7")}); }},
        {QStringLiteral("resolution"), [] { return std::make_unique<CResolutionDlg>(); }},
        {QStringLiteral("about"), [] { return std::make_unique<CAboutDlg>(); }},
        {QStringLiteral("compose"), [] { return OpenComposeDialog(); }},
    };
}

// A two-colour thermal model on Ethernet to the two-colour virtual printer.
QString CDialogGallery::WriteModelFile(PrinterKind kind) const
{
    const QString path = m_dir.Path(QStringLiteral("NV.inf"));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.write(QStringLiteral("[COMMON]\nDESCRIPTION=Markograph ver 3.1.1\nModelName=TX-200\nModelType=%1\n"
                                  "RECEIPTWIDTH=576\nMEMORYSIZE=384\nDOWNMAX=50\n[PRINTERLIST]\n"
                                  "PRINTER01=TX-100,015,001,512,050,256\nPRINTER02=TX-200,015,002,576,050,384\n"
                                  "[COMMUNICATION]\nINTERFACE=3\nPORTNAME=Ethernet\nIP1=127\nIP2=0\nIP3=0\nIP4=1\n"
                                  "PORT=%2\n")
                       .arg(PrinterKindNumber(kind))
                       .arg(m_twoColor.Ethernet().tcpPort)
                       .toLatin1());
    }
    return path;
}
