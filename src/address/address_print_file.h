#pragma once

#include "imaging/download_item.h"

#include <QString>

// A print file holds exactly the bytes a direct download sends, without the
// pauses: no header, no lengths, no filler. Files are written atomically
// (CAtomicFile), so a failure (full disk, no permission) leaves any previous
// file whole and never a partial one; the reason comes back in *error.

// The two-colour download: the define commands one after another, with the
// automatic addresses 00, 01, ... written into them (they stay there, as a
// later download overwrites them again). No initialise or delete command.
bool SaveAddressedPrintFile(const QString& path, DownloadList& items, QString* error);

// Writes prefix followed by every item's bytes.
bool WritePrintFile(const QString& path, const QByteArray& prefix, const DownloadList& items, QString* error);
