#include "app/tool_app.h"

#include "app/main_dlg.h"
#include "framework/message_box.h"
#include "framework/widgets/gui_message_box.h"
#include "framework/widgets/program_end.h"
#include "framework/widgets/responsive_clock.h"

#include <QFileInfo>
#include <QIcon>

CToolApp::CToolApp(int& argc, char** argv) : QApplication(argc, argv)
{
    // Message boxes without a title of their own carry this name.
    setApplicationName(QFileInfo(applicationFilePath()).completeBaseName());
    setWindowIcon(QIcon(QStringLiteral(":/res/markograph.png")));
}

bool CToolApp::InitInstance()
{
    SetMessageHandler(ShowGuiMessage);
    // Asked to end from outside (the session ends, SIGTERM): every window
    // closes the way it always does, and a download in progress says what
    // the printer holds before the program goes.
    EndProgramOnSignals(this);
    // The network layer needs no start-up call here: Qt's sockets start it
    // themselves where the system has one (Windows), so there is no start-up
    // failure to report; a socket that cannot be created is reported by the
    // connection that asked for it.
    // Waits keep the windows painting and the operator out of them.
    CRealClock realTime;
    CResponsiveClock clock(realTime);
    CClock* previous = SetClock(&clock);
    {
        // A window whose operator chose to quit at start-up never opens.
        CMainDlg dialog;
        dialog.exec();
    }
    SetClock(previous);
    return false;
}
