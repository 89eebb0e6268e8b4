#pragma once
// The main window was closed or the application was asked to quit: nested
// message loops (the exercise) look at this and end.

void RequestQuit();
bool QuitRequested();
// Tests start each case afresh.
void ResetQuitRequest();
