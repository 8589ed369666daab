// Download.. and Print as the operator goes through their dialogs: each
// step does one of the dialog's things and then closes it by one of its
// ways out, perhaps while the dialog still talks to the printer.

#include "journeys/journey_driver.h"

#include "dialog_test_helpers.h"

#include "address/address_dlg_ids.h"
#include "address/address_sequence.h"
#include "address/resolution_dlg_ids.h"
#include "download/upload_dlg.h"
#include "download/upload_dlg_ids.h"
#include "imaging/color_separation.h"
#include "operations/download_list_builder.h"
#include "print/print_dlg_ids.h"
#include "res/resource_ids.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QSlider>
#include <QTest>

#include <limits>

namespace {

// The window's pause before it checks that the printer took a download.
constexpr int kDeliveryCheckMs = 100;

QString AutoAddress(int index)
{
    CAddressSequence sequence;
    CAddressSequence::Address address{};
    for (int i = 0; i <= index; ++i)
        address = sequence.Next();
    return QString::fromLatin1(address.data(), 2);
}

// Addresses the journey types in the prompt: two letters or digits.
QString TypedAddress(int first, int index)
{
    static const QString characters = QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return QString(characters.at((first + index / 62) % 62)) + characters.at(index % 62);
}

QString SavePath(const CTestDir& dir, int n) { return dir.Path(QStringLiteral("saved%1.prn").arg(n)); }

}  // namespace

CPrinterModel::Attempt CJourneyDriver::Snapshot(const std::vector<QString>& names) const
{
    CPrinterModel::Attempt attempt;
    const std::vector<const LogoEntry*> entries = m_window.LogoList().Entries();
    const Rgb windowHue = HueColor(Control<QSlider>(m_window, IDC_THRESHOLD_SLIDER)->value());
    for (size_t i = 0; i < names.size() && i < entries.size(); ++i)
        attempt[names[i]] = LogoSnapshot{*entries[i], m_window.Colors().lColor, m_density, windowHue};
    return attempt;
}

qint64 CJourneyDriver::DownloadBytes(PrinterKind kind, int density, qint64* lastItem) const
{
    DownloadBuildOptions options{m_window.Colors(), m_window.Configuration().receiptWidth,
                                 DotDensityFromNumber(density).value_or(DotDensity::Single)};
    QString error;
    const std::optional<DownloadList> items = BuildDownloadList(kind, m_window.LogoList().Entries(), options, &error);
    qint64 total = kind == PrinterKind::TwoColor ? 0 : kind == PrinterKind::Mono ? 3 : 4;
    *lastItem = 0;
    for (const DownloadItem& item : items.value_or(DownloadList())) {
        total += item.data.size();
        *lastItem = item.data.size();
    }
    return total;
}

namespace {

// The window's settings reach none of the journey's printers (another
// interface or address): nothing to download or print there.
bool Offline(StepRecord& record)
{
    if (record.printer)
        return false;
    record.note = QStringLiteral("no printer reached");
    return true;
}

}  // namespace

void CJourneyDriver::Download(const Step& step, StepRecord& record)
{
    if (Offline(record))
        return;
    CJourneyPrinter* printer = record.printer;
    const std::optional<PrinterKind> kind = printer->Kind();
    const int density = step.b % 3;
    m_density = density;
    qint64 lastItem = 0;
    const qint64 total = DownloadBytes(*kind, density, &lastItem);
    ArmFault(step, *printer, total, lastItem);
    if (*kind == PrinterKind::DotMode)
        m_modals.Expect("CResolutionDlg", [step, density](QDialog& dialog) {
            static const std::array<int, 3> radios{IDC_RESOLUTION_SINGLE, IDC_RESOLUTION_DOUBLE, IDC_RESOLUTION_QUAD};
            QTest::mouseClick(Control<QAbstractButton>(dialog, radios[size_t(density)]), Qt::LeftButton);
            if (step.c == 5)
                QTest::keyClick(&dialog, Qt::Key_Escape);  // no Cancel button: Escape abandons the download
            else
                ::Click(dialog, win::kIdOk);
        });
    if (*kind == PrinterKind::TwoColor)
        m_modals.Expect("CAddressDownloadDlg",
                        [this, step, &record](QDialog& dialog) { ActOnAddressDownload(dialog, step, record); });
    else
        m_modals.Expect("CUploadDlg", [this, step, &record](QDialog& dialog) { ActOnUpload(dialog, step, record); });
    Click(IDC_DOWNLOAD);
}

void CJourneyDriver::ActOnUpload(QDialog& dialog, const Step& step, StepRecord& record)
{
    const int count = m_window.LogoList().Count();
    std::vector<QString> names;
    for (int i = 1; i <= count; ++i)
        names.push_back(QString::number(i));
    switch (step.a % 3) {
    case 0: {
        record.downloadStarted = true;
        record.replacesAll = true;
        record.attempt = Snapshot(names);
        // A close that comes between two ticks (c: the tick; the last one
        // is the completion).
        QPointer<QDialog> guarded(&dialog);
        CJourneyPrinter* printer = record.printer;
        // The completion tick comes after the last item's (one timer per item,
        // and one before the first).
        const int lastTick = count + (m_window.Configuration().modelType == PrinterKind::DotMode ? 2 : 1);
        const bool settle = m_settleOnTick;
        const int hangUps = printer->HangUps();
        const qint64 bytesBefore = m_bytesBefore;
        const qint64 total = m_armedTotal;
        m_clock.SetTimerHook([this, guarded, printer, settle, hangUps, bytesBefore, total, lastTick, step,
                              &record](int tick) {
            if (settle && tick == lastTick && !printer->AwaitTaken(hangUps, bytesBefore, total))
                record.benchFaults << QStringLiteral("(e) the printer neither hung up nor took the download");
            if (tick == step.c && guarded)
                QTimer::singleShot(0, guarded, [this, guarded, step] {
                    if (guarded)
                        CloseDialog(*guarded, step.closeBy, IDC_UPLOAD_CLOSE);
                });
        });
        QTest::mouseClick(Control<QAbstractButton>(dialog, IDC_UPLOAD_START), Qt::LeftButton);
        WhenReady(
            dialog, [](QDialog& d) { return !static_cast<CUploadDlg&>(d).IsSending(); },
            [this, step](QDialog& d) { CloseDialog(d, step.closeBy, IDC_UPLOAD_CLOSE); });
        return;
    }
    case 1:
        record.savedFile = SavePath(m_dir, ++m_filesWritten);
        record.savedAttempt = Snapshot(names);
        m_files.QueueAnswer({record.savedFile});
        QTest::mouseClick(Control<QAbstractButton>(dialog, IDC_UPLOAD_SAVE_FILE), Qt::LeftButton);
        break;
    default:
        break;
    }
    CloseDialog(dialog, step.closeBy, IDC_UPLOAD_CLOSE);
}

void CJourneyDriver::ActOnAddressDownload(QDialog& dialog, const Step& step, StepRecord& record)
{
    const int count = m_window.LogoList().Count();
    std::vector<QString> names;
    for (int i = 0; i < count; ++i)
        names.push_back(AutoAddress(i));
    const auto press = [&dialog](int id) {
        QTest::mouseClick(Control<QAbstractButton>(dialog, id), Qt::LeftButton);
    };
    // The window pauses before it checks that the printer took the whole
    // download: there the printer, armed to hang up, catches up with it.
    // Only the hang-up counts here: the download's other commands (deletes,
    // queries) are bytes too, so a byte count would end the wait too soon.
    // The window pauses there only once it has written every image, so the
    // printer is bound to hang up; a busy machine may take seconds to let it
    // carry out what it read. The bound is a safety net: reaching it is a
    // fault, never a window that goes on before the printer has hung up.
    if (m_settleOnTick && step.a % 6 <= 1) {
        CJourneyPrinter* printer = record.printer;
        const int hangUps = printer->HangUps();
        m_clock.SetSleepHook([printer, hangUps, &record](int ms) {
            if (ms == kDeliveryCheckMs && !printer->AwaitTaken(hangUps, 0, std::numeric_limits<qint64>::max()))
                record.benchFaults << QStringLiteral("(e) the printer did not hang up after the whole download");
        });
    }
    switch (step.a % 6) {
    case 0:
        record.downloadStarted = true;
        record.replacesAll = true;
        record.attempt = Snapshot(names);
        press(IDC_ADDR_AUTO_DOWNLOAD);
        break;
    case 1: {
        record.downloadStarted = true;
        const CPrinterModel::Attempt logos = Snapshot(names);
        for (int i = 0; i < count; ++i) {
            const QString address = TypedAddress(step.b, i);
            const LogoSnapshot logo = logos.at(names[size_t(i)]);
            const bool cancel = step.c == 3 && i == count - 1;
            m_modals.Expect("CAddressInputDlg", [address, logo, cancel, &record](QDialog& prompt) {
                if (cancel) {
                    ::Click(prompt, win::kIdCancel);
                    return;
                }
                auto* edit = Control<QLineEdit>(prompt, IDC_ADDR_INPUT);
                edit->selectAll();
                QTest::keyClicks(edit, address);
                ::Click(prompt, win::kIdOk);
                if (prompt.isVisible()) {
                    prompt.reject();  // "Exists address!": the operator gives up
                    return;
                }
                record.attempt[address] = logo;
            });
        }
        press(IDC_ADDR_USER_DOWNLOAD);
        break;
    }
    case 2:
        record.savedFile = SavePath(m_dir, ++m_filesWritten);
        record.savedAttempt = Snapshot(names);
        m_files.QueueAnswer({record.savedFile});
        press(IDC_ADDR_SAVE_FILE);
        break;
    case 3:
        press(IDC_ADDR_GET_ADDRESS);
        break;
    case 4:
        press(IDC_ADDR_DELETE);
        break;
    default:
        break;
    }
    CloseDialog(dialog, step.closeBy, win::kIdOk);
}

void CJourneyDriver::Print(const Step& step, StepRecord& record)
{
    if (Offline(record))
        return;
    CJourneyPrinter* printer = record.printer;
    const std::optional<PrinterKind> kind = printer->Kind();
    ArmFault(step, *printer, 64, 8);
    if (*kind == PrinterKind::TwoColor)
        m_modals.Expect("CAddressListDlg",
                        [this, step, &record](QDialog& dialog) { ActOnAddressList(dialog, step, record); });
    if (*kind == PrinterKind::Mono)
        m_modals.Expect("CPrintDlg", [this, step](QDialog& dialog) { ActOnPrintDialog(dialog, step); });
    Click(IDC_PRINT);
}

void CJourneyDriver::ActOnAddressList(QDialog& dialog, const Step& step, StepRecord& record)
{
    auto* list = Control<QListWidget>(dialog, IDC_ADDR_LIST);
    const auto press = [&dialog](int id) {
        if (Control<QAbstractButton>(dialog, id)->isEnabled())
            QTest::mouseClick(Control<QAbstractButton>(dialog, id), Qt::LeftButton);
    };
    const int what = step.a % 6;
    if (what != 4) {
        press(IDC_ADDR_GET_LIST);
        QStringList shown;
        for (int i = 0; i < list->count(); ++i)
            shown << list->item(i)->text();
        record.listed = shown;
        for (const QLabel* label : dialog.findChildren<QLabel*>())
            if (label->isVisible())
                record.dialogTexts << label->text();
    }
    if ((what == 1 || what == 5) && list->count() > 0) {
        QListWidgetItem* item = list->item(step.b % list->count());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
        if (what == 1)
            record.removedAddress = item->text().left(2);
        press(what == 1 ? IDC_ADDR_REMOVE : IDC_ADDR_PRINT);
    }
    if (what == 2)
        press(IDC_ADDR_REMOVE_ALL);
    if (what == 3)
        press(IDC_ADDR_PRINT_ALL);
    if (what == 4)
        press(IDC_ADDR_CUSTOM_PRINT);
    CloseDialog(dialog, step.closeBy, win::kIdOk);
}

void CJourneyDriver::ActOnPrintDialog(QDialog& dialog, const Step& step)
{
    if (step.a % 3 == 1) {
        ::Click(dialog, IDC_PRINTDLG_SELECTION);
        auto* edit = Control<QLineEdit>(dialog, IDC_PRINTDLG_SELECTION_TEXT);
        QTest::keyClicks(edit, QStringLiteral("1-%1").arg(1 + step.b % 4));
    }
    if (step.a % 3 != 2)
        ::Click(dialog, IDC_PRINTDLG_PRINT);
    CloseDialog(dialog, step.closeBy, IDC_PRINTDLG_EXIT);
}
