#pragma once

// The whole command-line run: the application object, the usage text and
// the command table; returns the exit code. The converting program
// (main.cpp) and the picture module (picture_module_main.cpp) both run it.
int RunCliMain(int argc, char** argv);

// Whether this build of the run reads pictures itself (the picture module)
// or hands any run that needs them over (the converting program).
bool ReadsPictures();
