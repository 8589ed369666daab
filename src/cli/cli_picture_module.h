#pragma once

// The command-line tool is two builds of the same commands:
// - the converting program markograph-cli, which links QtCore alone and runs
//   every command on BMP logos (convert, preview, download, print, list,
//   delete, capacity, models, ports), opening the network module only for
//   an Ethernet connection;
// - the picture module (lib/markograph/markograph-cli-pictures), which also
//   imports pictures, draws drawings, text and QR codes, and runs fleets.
// When the converting program meets what only the module can do, the
// stand-in it reached throws CPictureModuleNeeded before anything has been
// written or sent; main() lets the run unwind (ending its application
// object) and runs the same command line in the module.
struct CPictureModuleNeeded {};

// The picture module's entry point, resolved by name: the whole run.
extern "C" using CliMainFunction = int(int argc, char** argv);
inline constexpr char kCliMainSymbol[] = "markograph_cli_main";
