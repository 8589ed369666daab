#include "e2e/in_process_download.h"

#include "address/address_download_operations.h"
#include "operations/upload_session.h"
#include "support/message_recorder.h"
#include "support/virtual_clock.h"
#include "transport/printer_connection.h"

testing::AssertionResult DownloadInProcess(CSimulatedPrinter& sim, PrinterKind kind, DownloadList& items)
{
    CVirtualClock clock;
    CMessageRecorder messages;
    bool done = false;
    if (kind == PrinterKind::TwoColor) {
        CPrinterConnection connection(sim.Ethernet(), OpenFailureText::AddressDialogs);
        AddressDownloadState state;
        done = RunAutoAddressDownload(connection, items, state, {});
    } else {
        CPrinterConnection connection(sim.Ethernet(), OpenFailureText::UploadAndPrint);
        CUploadSession session(kind, connection, items);
        done = session.Run();
    }
    if (!done)
        return testing::AssertionFailure() << messages.Texts().join('|').toStdString();
    return testing::AssertionSuccess();
}
