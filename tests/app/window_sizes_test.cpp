// Windows whose design gives their size with the frame all take the same
// title bar off it, whether they have a fixed size or a sizeable frame.

#include "app/program_windows.h"
#include "program_test_env.h"
#include "ui/control_factory.h"

#include <optional>

namespace {

using WindowSizesTest = ProgramTest;

TEST_F(WindowSizesTest, OuterSizesAllLoseTheSameTitleBar)
{
    StartedProgram w{std::make_unique<RecordingSoundPlayer>()};
    const struct {
        QWidget* window;
        QSize outer;
        bool fixed;
        std::optional<QPoint> at; // the designed position, where there is one
    } cases[] = {
        {&w.form1(), {470, 495}, true, std::nullopt},
        {&w.form3(), {694, 524}, true, std::nullopt},
        {&w.form5(), {568, 477}, false, QPoint(133, 131)},
        {&w.form8(), {584, 428}, false, QPoint(192, 107)},
        {&w.form9(), {588, 289}, false, QPoint(192, 107)},
        {&w.form10(), {741, 480}, false, QPoint(34, 39)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.window->metaObject()->className());
        EXPECT_EQ(c.window->size(), c.outer - QSize(0, kTitleBarHeight));
        EXPECT_EQ(c.window->minimumSize() == c.window->maximumSize(), c.fixed);
        if (c.at) {
            EXPECT_EQ(c.window->pos(), *c.at);
        }
        // Shown, the window keeps that size: its controls fit inside.
        c.window->show();
        EXPECT_EQ(c.window->size(), c.outer - QSize(0, kTitleBarHeight));
        c.window->hide();
    }
}

} // namespace
