// Tips shown when the pointer rests on a control: only the settings window's
// number edits have them, with the values each takes.

#include "program_test_env.h"

#include <QAccessible>
#include <QMap>
#include <QToolButton>

namespace {

using TooltipsTest = ProgramTest;

TEST_F(TooltipsTest, OnlyTheNumberEditsOfTheSettingsWindowHaveTips)
{
    StartedProgram w;
    QWidget* windows[] = {&w.form1(), &w.form3(), &w.form4(),  &w.form5(),  &w.form6(), &w.form7(),
                          &w.form8(), &w.form9(), &w.form10(), &w.form11(), &w.form12()};
    QMap<QString, QString> tips; // "window/control" -> tip
    for (QWidget* window : windows) {
        for (QWidget* control : window->findChildren<QWidget*>()) {
            if (!control->toolTip().isEmpty())
                tips.insert(window->metaObject()->className() + QStringLiteral("/") +
                                control->objectName(),
                            control->toolTip());
        }
    }
    const QMap<QString, QString> expected = {
        {"TForm5/Edit2", ">0"},
        {"TForm5/Edit3", ">0"},
        {"TForm5/Edit4", "1-50"},
        {"TForm5/Edit5", "1-50"},
    };
    EXPECT_EQ(tips, expected);

    // The folder button, a picture alone, is still named for what it does.
    QToolButton* folder = w.form5().SpeedButton1;
    EXPECT_EQ(folder->accessibleName(), "Выбрать папку");
    QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(folder);
    ASSERT_TRUE(reader);
    EXPECT_EQ(reader->text(QAccessible::Name), "Выбрать папку");
}

} // namespace
