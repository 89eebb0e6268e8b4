#pragma once
// A start-up measuring aid. With the environment variable ZELVO_SHOWN_PROBE
// set to a number of milliseconds, the program prints "shown_ns <wall clock
// in ns>" once its first window has been painted, stays idle for that long,
// prints "vmhwm_kb <peak resident size> vmrss_kb <resident size>" and quits.
// Without the variable it does nothing.

// Call once the QApplication exists, before the event loop runs.
void WatchFirstShowForProbe();
