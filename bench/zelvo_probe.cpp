// The program as it starts for the start-up and memory figures: the same
// entry, with the show probe watching its first window.

#include "app/program.h"
#include "shown_probe.h"

int main(int argc, char* argv[]) { return RunProgram(argc, argv, WatchFirstShowForProbe); }
