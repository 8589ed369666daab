#pragma once

#include <QCoreApplication>

#include <memory>

// Whether the command line names a drawing that the command may import: an
// argument of import, convert, download or fleet that ends in .svg or .svgz, or
// names a regular file whose first bytes look like one (XML or gzip). Looks
// at no file that is not a regular file, and never waits.
bool ArgumentsNameDrawings(int argc, char** argv);

// The application object of the run. Drawing text takes the platform's
// fonts, and only a GUI application provides them (without one the font
// database ends the program), so a run that may draw a drawing gets a GUI
// application on the offscreen platform: no window system is needed. Every
// other run keeps the core application, which starts faster and loads no
// platform plug-in.
std::unique_ptr<QCoreApplication> MakeCliApplication(int& argc, char** argv, bool drawings);
