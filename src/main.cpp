// Program entry: reads no arguments beyond its own path; returns when the main
// window's message loop ends.

#include "app/program.h"

int main(int argc, char* argv[]) { return RunProgram(argc, argv); }
