#pragma once

#include <QApplication>

// The application object: one per process, made by main(). It names the
// program after its executable (the title of every message box), installs
// the message boxes, and runs the main window modally; the program ends when
// that window closes.
class CToolApp : public QApplication {
    Q_OBJECT

public:
    CToolApp(int& argc, char** argv);

    // Runs the main window and returns when it has closed. Returns false:
    // there is no message loop of the application's own to run afterwards.
    bool InitInstance();
};
