#pragma once

#include <QByteArray>

#include <functional>

// Reads one byte per call into buffer; returns how many bytes it delivered.
// Each call is bounded by the connection's read time-out (1,000 ms).
using ByteReader = std::function<int(char* buffer, int count)>;

// How a reply's first byte is treated; the three queries differ there.
enum class LeadingZero {
    EndsReply,     // a 00 first is the whole reply (address list dialog)
    Skipped,       // a 00 first is dropped and reading goes on (download dialog)
    EndsReplyAndFirstFailureEnds,  // capacity query: also a failed first read ends it, empty
};

// Printer replies end with 00. Reading stops at the 00 (kept), when the 21st
// read fails (a printer that says nothing costs at most 21 time-outs), or when
// bufferSize bytes have arrived (a longer reply is cut, never overflows). The
// leading 00 bytes that Skipped drops count as arrived, so at most bufferSize
// reads deliver a byte: a printer that sends 00 without end ends the reading
// with an empty reply instead of holding it for ever.
//
// However the printer sends, reading one reply also ends once
// kReplyTotalMs have passed since it began (on the clock seam): a printer
// that dribbles a byte every half second holds the caller no longer than one
// that says nothing (21 time-outs), instead of minutes. With the read
// time-out of 1,000 ms the longest a reply can take is 22,000 ms.
inline constexpr int kReplyTotalMs = 21000;
QByteArray ReadReply(const ByteReader& read, int bufferSize, LeadingZero leadingZero);
