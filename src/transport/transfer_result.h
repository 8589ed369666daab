#pragma once

#include <QString>

// What went wrong in a transport operation: the system's error number and
// what was being done ("write /dev/usb/lp0"). A default-constructed value
// means that nothing went wrong.
struct TransportError {
    int code = 0;     // errno of the failing call (ETIMEDOUT when a time-out ran out)
    QString what;     // the operation and the device it was done on
    QString reason;   // said instead of the system's text for code, when set

    bool IsSet() const { return code != 0; }
    // "what: system text", for logs and the command-line tool.
    QString Text() const;

    static TransportError FromErrno(int code, const QString& what) { return {code, what, {}}; }
    // A failure the system has no fitting text for ("not a printer device").
    static TransportError WithReason(int code, const QString& what, const QString& reason)
    {
        return {code, what, reason};
    }
    // The error of the system call that just failed, as "operation path".
    // errno is read before any text is built, so nothing can overwrite it.
    static TransportError FromLastError(const char* operation, const QString& path);
};

// What a read or write moved, together with what stopped it. Both may be set:
// a write that timed out half-way reports the bytes that did go out and
// ETIMEDOUT, so a partial transfer is never invisible.
struct TransferResult {
    int transferred = 0;
    TransportError error;
};
