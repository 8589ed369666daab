#pragma once

#include "e2e/e2e_support.h"
#include "file_dialog_script.h"
#include "support/message_recorder.h"
#include "support/temp_dir.h"

#include <QDialog>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

// Every dialog of the desktop program, opened as the operator meets it:
// the main window with a logo, Port Setting on its Ethernet page, the
// printer dialogs talking to two-colour and single-colour virtual printers
// on loopback. For the layout checks and the screenshots in docs/images.
class CDialogGallery {
public:
    struct Entry {
        QString name;  // file name stem: "main", "port-setting", ...
        std::function<std::unique_ptr<QDialog>()> open;
    };

    CDialogGallery();
    const std::vector<Entry>& Entries() const { return m_entries; }

private:
    QString WriteModelFile(PrinterKind kind) const;

    CTestDir m_dir;
    CSimulatedPrinter m_twoColor{PrinterKind::TwoColor};
    CSimulatedPrinter m_mono{PrinterKind::Mono};
    CMessageRecorder m_messages;
    CFileDialogScript m_files;
    std::vector<Entry> m_entries;
};
