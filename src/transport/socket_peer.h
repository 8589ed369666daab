#pragma once

#include <QtGlobal>

// Whether the far end of a connected stream socket has closed or reset the
// connection, found by peeking at it without blocking: nothing is taken
// from the socket, so bytes the peer sent before it closed stay readable.
// False while the connection is open (with or without data waiting) and for
// an invalid descriptor.
bool HasSocketPeerClosed(qintptr socketDescriptor);
