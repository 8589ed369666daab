// Port Setting as the operator goes through it: a model, one of its
// interfaces, the page's settings (always this machine's printers for
// Ethernet), then OK or one of the ways out. What the dialog shows at OK is
// written down for the check of what lands in the model file.

#include "journeys/journey_driver.h"

#include "dialog_test_helpers.h"

#include "config/port_config_ids.h"
#include "framework/widgets/ip_address_ctrl.h"
#include "res/resource_ids.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QTest>

namespace {

int InterfaceNumber(const QString& text)
{
    if (text == QLatin1String("Serial"))
        return 0;
    if (text == QLatin1String("Parallel"))
        return 1;
    if (text == QLatin1String("USB"))
        return 2;
    return 3;
}

bool Shown(QDialog& dialog, int id) { return Control(dialog, id)->isVisibleTo(&dialog); }

// The Step 3 page must be the one of the interface the dialog names.
QStringList PageFaults(QDialog& dialog, int kind)
{
    QStringList faults;
    const bool ethernet = kind == 3;
    const bool serial = kind == 0;
    const auto expect = [&](int id, bool shown, const char* what) {
        if (Shown(dialog, id) != shown)
            faults << QStringLiteral("(d) %1 is %2 on the page of interface %3")
                          .arg(what, shown ? "hidden" : "shown")
                          .arg(kind);
    };
    expect(IDC_CONFIG_IP_ADDRESS, ethernet, "the IP address");
    expect(IDC_CONFIG_TCP_PORT, ethernet, "the TCP port");
    expect(IDC_CONFIG_PORT, !ethernet, "the port list");
    expect(IDC_CONFIG_BAUDRATE, serial, "the baud rate");
    return faults;
}

QString Text(QDialog& dialog, int id) { return Control<QComboBox>(dialog, id)->currentText(); }

}  // namespace

void CJourneyDriver::PortSetting(const Step& step, StepRecord& record)
{
    record.portSetting = true;
    {
        QFile file(ModelFile());
        if (file.open(QIODevice::ReadOnly))
            record.modelFileBefore = QString::fromLatin1(file.readAll());
    }
    m_modals.Expect("CPortConfigDlg", [this, step, &record](QDialog& dialog) {
        auto* models = Control<QComboBox>(dialog, IDC_CONFIG_MODEL);
        if (step.a >= 0 && step.a < models->count()) {
            models->setCurrentIndex(step.a);
            emit models->activated(step.a);
        }
        auto* interfaces = Control<QComboBox>(dialog, IDC_CONFIG_INTERFACE);
        if (interfaces->count() > 0) {
            const int index = step.b % interfaces->count();
            interfaces->setCurrentIndex(index);
            emit interfaces->activated(index);
        }
        const int kind = InterfaceNumber(interfaces->currentText());
        const CatalogueModel* model = FindModel(models->currentText());
        // Settings of the page on show.
        if (Shown(dialog, IDC_CONFIG_IP_ADDRESS) && model) {
            Control<CIpAddressCtrl>(dialog, IDC_CONFIG_IP_ADDRESS)->SetAddress({127, 0, 0, 1});
            auto* port = Control<QLineEdit>(dialog, IDC_CONFIG_TCP_PORT);
            port->selectAll();
            QTest::keyClicks(port, QString::number(PrinterOf(model->kind)->Port()));
        }
        for (int id : {IDC_CONFIG_PORT, IDC_CONFIG_BAUDRATE, IDC_CONFIG_PARITY}) {
            auto* combo = Control<QComboBox>(dialog, id);
            if (Shown(dialog, id) && combo->count() > 0 && step.at > 0.5)
                combo->setCurrentIndex(int(step.at * 1000) % combo->count());
        }
        const int end = step.c % 4;
        if (end != 0) {
            CloseDialog(dialog, end == 1 ? CloseBy::Button : end == 2 ? CloseBy::TitleBar : CloseBy::Escape,
                        win::kIdCancel);
            return;
        }
        record.pageFaults = PageFaults(dialog, kind);
        QMap<QString, QString>& shown = record.shownAtOk;
        shown[QStringLiteral("COMMON/ModelName")] = models->currentText();
        if (model) {
            shown[QStringLiteral("COMMON/ModelType")] = QString::number(PrinterKindNumber(model->kind));
            shown[QStringLiteral("COMMON/RECEIPTWIDTH")] = QString::number(model->width);
            shown[QStringLiteral("COMMON/MEMORYSIZE")] = QString::number(model->memoryKb);
            shown[QStringLiteral("COMMON/DOWNMAX")] = QString::number(model->downMax);
        }
        shown[QStringLiteral("COMMUNICATION/INTERFACE")] = QString::number(kind);
        if (kind == 0 || kind == 1)
            shown[QStringLiteral("COMMUNICATION/PORTNAME")] = Text(dialog, IDC_CONFIG_PORT);
        if (kind == 0) {
            shown[QStringLiteral("COMMUNICATION/BAUDRATE")] = Text(dialog, IDC_CONFIG_BAUDRATE);
            shown[QStringLiteral("COMMUNICATION/PARITY")] = Text(dialog, IDC_CONFIG_PARITY);
            shown[QStringLiteral("COMMUNICATION/DATABITS")] = Text(dialog, IDC_CONFIG_DATABITS);
            shown[QStringLiteral("COMMUNICATION/STOPBITS")] = Text(dialog, IDC_CONFIG_STOPBITS);
        }
        if (kind == 3) {
            const std::array<quint8, 4> ip = Control<CIpAddressCtrl>(dialog, IDC_CONFIG_IP_ADDRESS)->Address();
            for (int i = 0; i < 4; ++i)
                shown[QStringLiteral("COMMUNICATION/IP%1").arg(i + 1)] = QString::number(ip[size_t(i)]);
            shown[QStringLiteral("COMMUNICATION/PORT")] = Control<QLineEdit>(dialog, IDC_CONFIG_TCP_PORT)->text();
        }
        QTest::mouseClick(Control<QAbstractButton>(dialog, win::kIdOk), Qt::LeftButton);
        record.portSettingOk = !dialog.isVisible();
        if (!dialog.isVisible())
            return;
        // OK refused (a setting the dialog will not take): nothing written.
        record.shownAtOk.clear();
        dialog.reject();
    });
    Click(IDC_PORT_SETTING);
}
