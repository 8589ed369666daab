#pragma once

#include "e2e/e2e_support.h"

#include <gtest/gtest.h>

// Downloads the items into the virtual printer over Ethernet as the desktop
// does for the kind (the paced upload session, or the automatic address
// download of two-colour printers), under a virtual clock so the printers'
// waits take no time.
testing::AssertionResult DownloadInProcess(CSimulatedPrinter& sim, PrinterKind kind, DownloadList& items);
