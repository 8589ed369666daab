#pragma once

#include "config/port_settings.h"

#include <QCommandLineParser>

#include <optional>

// How the printer is reached: the model file's current communication
// settings, which --interface, --port, --host, --tcp-port, --baud and
// --parity override.
void AddConnectionOptions(QCommandLineParser& parser);

// Nothing, with the problem printed and *exitCode set, when the options are
// not usable.
std::optional<PortSettings> ResolveConnection(const QCommandLineParser& parser, int* exitCode);

// "Ethernet 127.0.0.1:9100", "Serial COM1 19200" ...: for progress lines.
QString DescribeConnection(const PortSettings& settings);
