#pragma once

#include "journeys/journey_bench.h"
#include "journeys/journey_clock.h"
#include "journeys/journey_model.h"
#include "journeys/journey_modals.h"
#include "journeys/journey_step.h"

#include "app/main_dlg.h"
#include "file_dialog_script.h"

#include <QMap>

#include <optional>
#include <random>

// What a step did that the invariants need to know.
struct StepRecord {
    // The printer the window talks to during the step (none while the
    // settings point elsewhere).
    CJourneyPrinter* printer = nullptr;
    // Waits of the bench that reached their bound during the step.
    QStringList benchFaults;
    // A download the operator started on that printer, and what it writes.
    bool downloadStarted = false;
    bool replacesAll = false;  // numbered kinds and the automatic download
    CPrinterModel::Attempt attempt;
    // A print file saved by the step, and what it should store.
    QString savedFile;
    CPrinterModel::Attempt savedAttempt;
    // The address the address list's "Remove" took away.
    QString removedAddress;
    // What the address list showed after "Get Address List".
    std::optional<QStringList> listed;
    QStringList dialogTexts;  // the address list's labels afterwards
    // Port Setting: the model file before, what the dialog showed at OK.
    bool portSetting = false;
    bool portSettingOk = false;
    QString modelFileBefore;
    QMap<QString, QString> shownAtOk;  // "COMMON/ModelName" ... as the dialog showed them
    QStringList pageFaults;            // a Step 3 page that is not the interface's
    QString note;                      // what the step could not do ("no rows")
};

// Drives the real main window and its dialogs. Each action is done on the
// widgets as the operator does it: mouse clicks on buttons and rows, drags
// and keys on sliders, answers in the dialogs; only the file dialogs and
// message boxes are answered through their seams.
class CJourneyDriver {
public:
    CJourneyDriver(CMainDlg& window, std::array<CJourneyPrinter*, 3> printers, const CTestDir& dir,
                   CJourneyClock& clock);

    StepRecord Run(const Step& step);
    CMainDlg& Window() { return m_window; }
    // The printer the window's settings reach, or null.
    CJourneyPrinter* Reached() const;
    CJourneyPrinter* PrinterOf(PrinterKind kind) const { return m_printers[size_t(PrinterKindNumber(kind))]; }
    QString ModelFile() const;
    CModalActor& Modals() { return m_modals; }

private:
    // Main window (journey_driver.cpp).
    void AddFiles(const QStringList& paths, const Step& step);
    QString WriteLogo(int width, int height, unsigned seed, bool png = false);
    void Click(int id);
    void ClickRow(int row, Qt::KeyboardModifiers modifiers);
    void DragSlider(int id, int value);
    void KeySlider(int id, int key);
    void PortSetting(const Step& step, StepRecord& record);
    void CloseDialog(QDialog& dialog, CloseBy by, int buttonId);
    void ArmFault(const Step& step, CJourneyPrinter& printer, qint64 total, qint64 lastItem);

    // Download and print dialogs (journey_dialog_acts.cpp).
    void Download(const Step& step, StepRecord& record);
    void ActOnUpload(QDialog& dialog, const Step& step, StepRecord& record);
    void ActOnAddressDownload(QDialog& dialog, const Step& step, StepRecord& record);
    void Print(const Step& step, StepRecord& record);
    void ActOnAddressList(QDialog& dialog, const Step& step, StepRecord& record);
    void ActOnPrintDialog(QDialog& dialog, const Step& step);
    CPrinterModel::Attempt Snapshot(const std::vector<QString>& names) const;
    qint64 DownloadBytes(PrinterKind kind, int density, qint64* lastItem) const;

    CMainDlg& m_window;
    std::array<CJourneyPrinter*, 3> m_printers;
    const CTestDir& m_dir;
    CJourneyClock& m_clock;
    CFileDialogScript m_files;
    CModalActor m_modals;
    int m_filesWritten = 0;
    bool m_settleOnTick = false;
    qint64 m_armedTotal = 0;  // bytes of the download the fault was armed for
    qint64 m_bytesBefore = 0;  // the printer's bytes received before it
    int m_density = 2;  // of the step's impact download
};

// Sim fault settings of a step's fault for a transfer of total bytes.
SimFaults FaultsFor(const Step& step, qint64 total, qint64 lastItem);
