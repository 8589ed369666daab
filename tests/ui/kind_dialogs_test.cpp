#include "app/kind_dialogs.h"

#include <gtest/gtest.h>

// The desktop's row per kind: every kind downloads and prints through it;
// only DOT MODE asks something (the density) before converting.
TEST(KindDialogs, EveryKindHasItsDialogs)
{
    for (PrinterKind kind : kPrinterKinds) {
        const KindDialogs& row = KindDialogsOf(kind);
        EXPECT_EQ(row.kind, kind);
        EXPECT_NE(row.runDownload, nullptr) << PrinterKindNumber(kind);
        EXPECT_NE(row.runPrint, nullptr) << PrinterKindNumber(kind);
        EXPECT_EQ(row.askDownloadOptions != nullptr, kind == PrinterKind::DotMode) << PrinterKindNumber(kind);
    }
    // Numbered kinds share the upload dialog; the two-colour one has its own.
    EXPECT_EQ(KindDialogsOf(PrinterKind::DotMode).runDownload, KindDialogsOf(PrinterKind::Mono).runDownload);
    EXPECT_NE(KindDialogsOf(PrinterKind::TwoColor).runDownload, KindDialogsOf(PrinterKind::Mono).runDownload);
}
