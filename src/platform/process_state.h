#pragma once
// Where the parts of the program's process-wide state are reached from. Each
// layer names its own parts (the configuration, the current user, the range,
// the exercise); one ProgramState (exercise/program_state.h) owns them all and
// installs each part here for as long as it lives. The program makes one at
// start, and every test makes its own, so nothing carries over between them.

#include <QtGlobal>

template <typename Part> Part*& InstalledStatePart()
{
    static Part* part = nullptr;
    return part;
}

// The installed part; using the state before a ProgramState exists is a
// programming error and ends the process at once.
template <typename Part> Part& StatePart()
{
    Part* part = InstalledStatePart<Part>();
    if (!part)
        qFatal("The program's state was used before it was made");
    return *part;
}
