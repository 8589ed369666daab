#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Shared by the fuzz targets: a property that every input must keep. A broken
// one prints what was expected and aborts, which libFuzzer records as a crash
// together with the input that caused it.
#define FUZZ_CHECK(condition)                                                                   \
    do {                                                                                        \
        if (!(condition)) {                                                                     \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                       \
        }                                                                                       \
    } while (false)

// A folder of this process's own below the system's temporary folder
// ($TMPDIR; the run scripts point it at memory where they can, since the
// model file and the store are flushed to disk on every write). Created on
// first use, removed when the process ends, so parallel fuzz processes never
// share files.
const QString& FuzzFolder();

// Replaces the file at path with the bytes; aborts when that fails, since
// every later property would be meaningless.
void WriteFuzzFile(const QString& path, const uint8_t* data, size_t size);
