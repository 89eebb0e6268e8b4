// Handlers that put a field's own text back (trimmed) leave it alone when it
// is already trimmed: the caret stays where the user put it.

#include "config/app_config.h"
#include "program_test_env.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

using EditCaretTest = ProgramTest;

// Types `keys` into `edit` as the keyboard would; "^" stands for Home.
void TypeKeys(QLineEdit* edit, const QString& keys)
{
    for (QChar key : keys) {
        if (key == QLatin1Char('^'))
            QTest::keyClick(edit, Qt::Key_Home);
        else
            QTest::keyClicks(edit, QString(key));
    }
}

TEST_F(EditCaretTest, CorrectionTypedWithTheCaretMovedGoesWhereTheCaretIs)
{
    StartedProgram w;
    TForm1& form = w.form1();
    QLineEdit* answer = form.Edit1;
    form.show();

    const struct {
        qint32 a, b; // the example a+b
        QString keys;
        QString field; // the field afterwards
        bool accepted; // the correction is accepted
    } cases[] = {
        {12, 7, QStringLiteral("9^30"), QStringLiteral("309"), false},
        {300, 9, QStringLiteral("9^30"), QString(), true},
        {12, 7, QStringLiteral(" 19"), QString(), true}, // the blank is trimmed away
        {12, 7, QStringLiteral("9^ "), QStringLiteral("9"), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keys.toStdString());
        ExerciseState& s = exerciseState();
        s.operandA = c.a;
        s.operandB = c.b;
        s.isAddition = true;
        s.answered = false;
        s.correctionPending = false;
        s.targetScore = 1000;
        form.StaticText1->setText("?");
        answer->setEnabled(true);
        answer->setFocus();

        QTest::keyClicks(answer, QStringLiteral("1"));
        QTest::keyClick(answer, Qt::Key_Return);
        ASSERT_TRUE(s.correctionPending);
        ASSERT_EQ(answer->text(), QString());

        TypeKeys(answer, c.keys);
        EXPECT_EQ(answer->text(), c.field);
        EXPECT_EQ(!s.correctionPending, c.accepted);
        EXPECT_EQ(form.StaticText1->text() != "?", c.accepted); // the next example
        answer->clear();
    }
    exerciseState().correctionPending = false;
}

TEST_F(EditCaretTest, NewUserNickAlreadyTrimmedKeepsItsCaretWhenTheFileCannotBeMade)
{
    StartedProgram w;
    TForm6& form = w.form6();
    // A user folder beneath a regular file: the profile cannot be created.
    writeFile(userFolder() + "plain", "x");
    appConfig().PathUser = userFolder() + "plain/users/";

    const struct {
        QString typed;
        int caret;
        QString kept; // the nick box afterwards
        int caretAfter;
    } cases[] = {
        {QStringLiteral("ivan"), 2, QStringLiteral("ivan"), 2},
        {QStringLiteral("  ivan "), 4, QStringLiteral("ivan"), 4}, // trimmed: put back whole
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        dialogs.messages.clear();
        form.Edit1->setText(c.typed);
        form.Edit1->setCursorPosition(c.caret);
        form.Edit2->setText(QStringLiteral("Иван"));
        form.Button1->click();
        ASSERT_EQ(dialogs.messages.size(), 1);
        EXPECT_TRUE(dialogs.messages.first().startsWith(
            QStringLiteral("Измените ник , не могу создать файл конфигурации - ")));
        EXPECT_EQ(form.Edit1->text(), c.kept);
        EXPECT_EQ(form.Edit1->cursorPosition(), c.caretAfter);
    }
}

} // namespace
