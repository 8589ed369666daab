#pragma once

#include <QJsonValue>

// Writes a JSON document (object or array) to standard output, indented, for
// the --json forms of the commands. Field names are part of the command-line
// interface: README.md lists them, and they only ever grow.
void PrintJson(const QJsonValue& value);
