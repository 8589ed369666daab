#pragma once

#include <QFile>
#include <QString>

// Opens path for reading only when it is a regular file. A FIFO would block
// the open (or the first read) until some other program writes to it, a
// device may never end, and a directory reads as nothing; each of them is
// refused at once with the reason ("it is a FIFO, not a regular file"), which
// the caller shows after the path. The type is looked at before the open, so
// a device is never opened, and again on the descriptor, opened without
// blocking, so a file swapped for a FIFO in between cannot hang the caller.
//
// On success file is open (read only, blocking reads) and true is returned;
// otherwise false and the reason in *reason.
bool OpenRegularFile(const QString& path, QFile& file, QString* reason);

// Why path cannot be read as a regular file, or an empty string when it can
// (it may still be missing: that is left to the opener's own message).
// Used where a library opens the file itself.
QString NonRegularFileReason(const QString& path);

// Why a file at path may not be replaced by a new one, or an empty string
// when it may (it is a regular file, or there is nothing there yet). Outputs
// and state files are refused when they are not regular files, for the same
// reasons as inputs: opening a FIFO for writing waits for a reader that may
// never come, and a device or socket is no place for a file. A symbolic link
// is refused too ("it is a symbolic link ..."): writing through it would
// replace whatever file it points to, and replacing the link instead would
// silently cut the tie that someone made on purpose. Only the last part of
// the path is looked at; folders on the way may be links.
QString ReplaceableFileReason(const QString& path);
