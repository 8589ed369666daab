#include "app/about_dlg.h"

#include "framework/widgets/dialog_template.h"
#include "res/resource_ids.h"

#include <QIcon>
#include <QLabel>

namespace {

DialogTemplate AboutTemplate()
{
    using K = ControlKind;
    DialogTemplate layout;
    layout.caption = "About Markograph";
    layout.fontFamily = "Arial";
    layout.fontPointSize = 8;
    layout.width = 260;
    layout.height = 70;
    layout.controls = {
        {IDC_ABOUT_ICON, K::Static, "", 11, 10, 24, 24},
        {IDC_ABOUT_NAME, K::Static, "Markograph", 44, 8, 130, 9},
        {IDC_ABOUT_VERSION, K::Static, "Version " MARKOGRAPH_VERSION, 44, 19, 130, 9},
        {IDC_ABOUT_PURPOSE, K::Static, "Puts BMP logos into the NV image memory of receipt printers.", 44, 30,
         210, 18},
        {IDC_ABOUT_OK, K::DefaultPushButton, "OK", 203, 50, 50, 14},
    };
    return layout;
}

}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : CDialog(AboutTemplate(), parent)
{
    // Fonts differ between systems; the purpose line wraps rather than being cut.
    Control<QLabel>(IDC_ABOUT_PURPOSE)->setWordWrap(true);
    const QIcon icon(QStringLiteral(":/res/markograph.png"));
    setWindowIcon(icon);
    Control<QLabel>(IDC_ABOUT_ICON)->setPixmap(icon.pixmap(32, 32));
    ConnectClicked(IDC_ABOUT_OK, &QDialog::accept);
}
