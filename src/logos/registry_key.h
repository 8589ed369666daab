#pragma once

#include "logos/registry_value.h"

#include <QString>

#include <utility>
#include <vector>

// A value together with its name, as a key holds it.
struct RegistryNamedValue {
    QString name;
    CRegistryValue value;
};

// Named values under backslash-separated key paths ("Software\Quentar\..."),
// kept in files below a root folder: the program's small registry. The logo
// list lives here between runs.
//
// Layout. Each key is a folder, one level per path component, and its values
// are the file ".values" in that folder:
//   <root>/Software/Quentar/LogoKeeper/Imagelist/.values
// Names in a key folder that start with a dot belong to the store (the values
// file, and the temporary file of a write in progress), so key path components
// may not start with a dot; nor may they be empty or hold '/' or a zero.
// Key paths are case-sensitive, as file names are; value names are compared
// without regard to case, as the registry does.
//
// The values file is text, one value a line:
//   markograph-registry 1
//   value image001 1 /home/ann/logos/shop.bmp,120,100,085,1%00
//   value image002 1 /home/ann/Caf%C3%A9%20logos/a.bmp,000,100,100,0%00
//   end 2
// "value <name> <type> <data>": the type in decimal, the name (UTF-8) and the
// data as their bytes, where every byte that is not printable ASCII, and every
// space and '%', is written %XX (two hexadecimal digits). So any bytes
// round-trip and a field never holds a space or a line end. The last line
// counts the values and the file ends with a line end, so a file cut short is
// recognised. A file that breaks any of this (or is larger than 16 MiB) is
// damaged: it reads as a key without values, is reported on standard error
// each time it is read, and is replaced by the next write.
//
// Every write replaces the values file as a whole and atomically (a temporary
// file, flushed, then renamed over it), so a crash or a failed write leaves
// the previous values whole. A write killed half-way may leave its temporary
// file; readers ignore it and deleting the key removes it.
//
// Not thread-safe; one object per use is cheap (it holds only the root).
class CRegistryKey {
public:
    // The folder the key paths are below; plays the part of the root key.
    explicit CRegistryKey(QString rootFolder) : m_root(std::move(rootFolder)) {}

    // Copies the named value of the key into *value. Returns false, with
    // *value emptied, when the key path is invalid, the key or the value does
    // not exist, or the values file cannot be read or is damaged (the last two
    // are reported on standard error).
    bool ReadValue(const QString& subKey, const QString& valueName, CRegistryValue* value) const;

    // ReadValue, then the text of a kRegSz, kRegExpandSz or kRegLink value:
    // the bytes up to the first zero, unexpanded. False for other types.
    bool ReadString(const QString& subKey, const QString& valueName, QString* text) const;

    // Sets one value, creating the key (and the folders above it) when needed
    // and keeping the key's other values. A damaged values file is replaced.
    // On failure returns false with the reason in *error; what was stored stays.
    bool WriteValue(const QString& subKey, const QString& valueName, const CRegistryValue& value,
                    QString* error = nullptr) const;

    // WriteValue of a kRegSz value holding the text and a terminating zero.
    bool WriteString(const QString& subKey, const QString& valueName, const QString& text,
                     QString* error = nullptr) const;

    // Makes the key hold exactly these values, in this order, in one atomic
    // step: readers see all the earlier values or all the new ones, never a
    // mixture. Names must differ (ignoring case). Creates the key when needed.
    bool ReplaceValues(const QString& subKey, const std::vector<RegistryNamedValue>& values,
                       QString* error = nullptr) const;

    // Deletes the key with its values. The values go in one step. A key that
    // does not exist counts as deleted; a key with subkeys is refused, as the
    // registry refuses it.
    bool DeleteSubKey(const QString& subKey, QString* error = nullptr) const;

    bool KeyExists(const QString& subKey) const;

private:
    bool KeyFolder(const QString& subKey, QString* folder, QString* error) const;

    QString m_root;
};
