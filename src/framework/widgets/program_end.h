#pragma once

class QObject;

// Ending the desktop program from outside its windows: the session ends,
// or someone sends the process SIGTERM, SIGHUP or SIGINT.

// Ends every open dialog, the innermost first (a message box, the dialog
// that showed it, then the main window), each through done(): so every
// dialog lets go of what it holds the way it always does, a download that
// is still running stops and tells the operator what the printer holds
// now, and the main window keeps its logo list. The modal loops then
// return and the program ends. User-interface thread only.
void EndProgram();

// Turns SIGTERM, SIGHUP and SIGINT into EndProgram on the user-interface
// thread, from the next time its event loop runs. owner keeps the
// notification alive. Call once, from the user-interface thread.
void EndProgramOnSignals(QObject* owner);
