// Test entry: widgets run on the offscreen platform, so tests need no display.
// The tests of the logic run without widgets (ZELVO_TEST_WIDGETS unset).

#include "exercise/program_state.h"

#include <gtest/gtest.h>
#ifdef ZELVO_TEST_WIDGETS
#include <QApplication>
using Application = QApplication;
#else
#include <QCoreApplication>
using Application = QCoreApplication;
#endif

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The controls carry their designer names on the accessibility bus, where
    // the tests find them.
    qputenv("ZELVO_ACCESSIBLE_IDS", "1");
    Application app(argc, argv);
    // The state of tests without a fixture of their own; each fixture makes its own.
    ProgramState state;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
