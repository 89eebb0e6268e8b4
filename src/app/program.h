#pragma once
// The program: the application object, the start-up steps, the main window
// and the message loop.

#include <functional>

// Runs the program until its main window is closed; returns the exit status.
// `afterShow` runs once the main window has been shown (measuring aids).
int RunProgram(int argc, char* argv[], const std::function<void()>& afterShow = {});
