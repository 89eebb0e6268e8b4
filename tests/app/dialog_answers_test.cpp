// The program's questions, its pause box and its input box, answered on the
// real boxes from the keyboard: Enter on a box as it opens gives that box's
// default answer (a misplaced Enter never resets the records table), and
// Escape or the close button leave everything as it was.

#include "accounts/password_digest.h"
#include "accounts/user_profile.h"
#include "exercise/exercise_state.h"
#include "platform/program_quit.h"
#include "program_test_env.h"
#include "records/result_record.h"
#include "support/exercise_wait.h"
#include "ui/qt_dialogs.h"
#include "ui/real_boxes.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace {

const QString kTargetPrompt = QStringLiteral("Введите до скольки очков мы с вами работаем");
const QString kNotANumber = QStringLiteral(
    "Непонятное число наверное вы написали римскими цифрами , я такие числа не понимаю");
const QString kReady = QStringLiteral("Приготовились!   Удачи!");
const QString kPauseRequested = QStringLiteral("Решите текущий пример и немного отдохнем");
const QString kPauseText =
    QStringLiteral("Нажмите OK для продолжения тренировки или Отмена для  выхода из программы");

// The real boxes, except that the end of the program is only counted: the
// real end would end the test process.
class RealBoxesCountingTheEnd : public Dialogs {
  public:
    RealBoxesCountingTheEnd() { setDialogs(this); }
    ~RealBoxesCountingTheEnd() override { setDialogs(nullptr); }

    void message(const QString& text) override { QtDialogs().message(text); }
    bool question(const QString& text, QuestionIcon icon) override
    {
        return QtDialogs().question(text, icon);
    }
    QString inputBox(const QString& caption, const QString& prompt,
                     const QString& defaultText) override
    {
        return QtDialogs().inputBox(caption, prompt, defaultText);
    }
    bool pauseBox(QWidget* owner, const QString& caption, const QString& text) override
    {
        return QtDialogs().pauseBox(owner, caption, text);
    }
    bool chooseFolder(QWidget* owner, QString& folder) override
    {
        return QtDialogs().chooseFolder(owner, folder);
    }
    void errorReport(const QString& text) override { QtDialogs().errorReport(text); }
    void endProgram() override { ++endRequests; }

    int endRequests = 0;
};

// Installs the program's own dialogs for one scope.
struct QtDialogsInstalled {
    QtDialogsInstalled() { setDialogs(&QtDialogs()); }
    ~QtDialogsInstalled() { setDialogs(nullptr); }
};

class DialogAnswersTest : public ProgramTest {
  protected:
    static UserProfile Anna(const QString& digest)
    {
        UserProfile anna;
        anna.fullName = QStringLiteral("Анна");
        anna.digestText = digest;
        return anna;
    }

    static void LoginAnna(ProgramWindows& w)
    {
        ASSERT_TRUE(WriteProfile("anna", Anna(QString())));
        w.form4().ComboBox1->setEditText("anna");
        w.form4().Button1->click();
        ASSERT_EQ(currentUser().nick, "anna");
    }
};

TEST_F(DialogAnswersTest, ServiceQuestionsActOnlyOnOk)
{
    StartedProgram w;
    TForm9& service = w.form9();
    const QString table = userFolder() + "20record.config";
    const QString profile = ProfilePath("anna");
    const QString digest = PasswordDigestText("secret");
    auto reset = [&] {
        writeFile(table, QByteArray(780, 'x'));
        ASSERT_TRUE(WriteProfile("anna", Anna(digest)));
    };
    auto digestNow = [] {
        UserProfile read;
        return ReadProfile("anna", read) ? read.digestText : QStringLiteral("(unread)");
    };
    enum Step { ResetTable, DeleteUser, ResetPassword };
    auto taken = [&](Step step) {
        switch (step) {
        case ResetTable:
            return !FileExists(table);
        case DeleteUser:
            return !FileExists(profile);
        case ResetPassword:
            return FileExists(profile) && digestNow().isEmpty();
        }
        return false;
    };
    const QString resetTable = QStringLiteral("Сбросить таблицу рекордов?");
    const QString deleteUser = QStringLiteral("Удалить пользователя?");
    const QString resetPassword = QStringLiteral("Обнулить пароль?");

    const struct {
        QPushButton* button;
        Step step;
        BoxAnswer answer;
        QStringList boxes; // the question, then the message of a step taken
    } cases[] = {
        // A warning: Enter on the box as it opens is Cancel.
        {service.Button6, ResetTable, {BoxKey::Enter}, {resetTable}},
        {service.Button6, ResetTable, {BoxKey::Escape}, {resetTable}},
        {service.Button6, ResetTable, {BoxKey::Close}, {resetTable}},
        {service.Button6,
         ResetTable,
         {BoxKey::ClickOk},
         {resetTable, QStringLiteral("Таблица рекордов сброшена")}},
        {service.Button5,
         DeleteUser,
         {BoxKey::Enter},
         {deleteUser, QStringLiteral("Пользователь удален")}},
        {service.Button5, DeleteUser, {BoxKey::Escape}, {deleteUser}},
        {service.Button5, DeleteUser, {BoxKey::Close}, {deleteUser}},
        {service.Button2,
         ResetPassword,
         {BoxKey::Enter},
         {resetPassword, QStringLiteral("Пароль обнулен")}},
        {service.Button2, ResetPassword, {BoxKey::Escape}, {resetPassword}},
        {service.Button2, ResetPassword, {BoxKey::Close}, {resetPassword}},
    };
    QtDialogsInstalled real;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button->text().toStdString() + ", " + KeyName(c.answer.key));
        reset();
        service.ComboBox1->setEditText("anna");
        // Every box after the question is a message, closed with Enter.
        std::vector<BoxAnswer> answers(c.boxes.size(), BoxAnswer{BoxKey::Enter});
        answers.front() = c.answer;
        RealBoxes boxes(answers);
        c.button->click();
        EXPECT_EQ(boxes.texts(), c.boxes.join(" | ").toStdString());
        const bool confirmed = c.boxes.size() > 1;
        for (Step step : {ResetTable, DeleteUser, ResetPassword})
            EXPECT_EQ(taken(step), step == c.step && confirmed) << "step " << step;
    }
}

TEST_F(DialogAnswersTest, TargetBoxGivesWhatWasTypedOnEnterAndNothingOnEscapeOrClosing)
{
    const struct {
        BoxAnswer answer;
        QString then;
    } cases[] = {
        {{BoxKey::Enter}, kNotANumber}, // the field starts empty
        {{BoxKey::Enter, "-4"}, QStringLiteral("Вы что полный двоечник?")},
        {{BoxKey::Escape, "-4"}, kNotANumber},
        {{BoxKey::Close, "-4"}, kNotANumber},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(KeyName(c.answer.key)) + (c.answer.typed ? c.answer.typed : ""));
        StartedProgram w;
        LoginAnna(w);
        RealBoxesCountingTheEnd real;
        RealBoxes boxes({c.answer, {BoxKey::Enter}});
        w.form1().N7->trigger();
        EXPECT_EQ(boxes.texts(), (QStringList{kTargetPrompt, c.then}).join(" | ").toStdString());
        if (!boxes.seen.empty()) {
            EXPECT_EQ(boxes.seen.front().title.toStdString(), "Введите число");
        }
        EXPECT_FALSE(w.form1().Edit1->isEnabled());
        EXPECT_EQ(real.endRequests, 0);
    }
}

// The pupil asks for a pause during the first example of two; the pause box
// then comes when that example is answered right.
TEST_F(DialogAnswersTest, PauseBoxGoesOnWithEnterAndEndsWithEscapeOrClosing)
{
    const struct {
        BoxKey key;
        bool goesOn;
    } cases[] = {{BoxKey::Enter, true}, {BoxKey::Escape, false}, {BoxKey::Close, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(KeyName(c.key));
        QFile::remove(RecordsTableFileName());
        StartedProgram w;
        LoginAnna(w);
        TForm1& main = w.form1();
        RealBoxesCountingTheEnd real;
        RealBoxes boxes({{BoxKey::Enter, "2"}, {BoxKey::Enter}, {BoxKey::Enter}, {c.key}});

        int examples = 0;
        QTimer pupil;
        QObject::connect(&pupil, &QTimer::timeout, [&] {
            ExerciseState& s = exerciseState();
            if (QApplication::activeModalWidget() || !main.Edit1->isEnabled() || s.answered ||
                main.StaticText1->text() == "?")
                return;
            if (examples++ == 0)
                main.Button10->click();
            main.Edit1->setText(QString::number(ExpectedValue(s)));
            main.Button11->click();
        });
        pupil.start(5);
        // No exercise may outlive its test.
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [] {
            ADD_FAILURE() << "the exercise did not end";
            RequestQuit();
        });
        watchdog.start(20000);
        main.N7->trigger();
        EXPECT_TRUE(ServeWhileExerciseRuns());
        watchdog.stop();
        pupil.stop();

        EXPECT_EQ(boxes.texts(), (QStringList{kTargetPrompt, kReady, kPauseRequested, kPauseText})
                                     .join(" | ")
                                     .toStdString());
        if (boxes.seen.size() == 4) {
            EXPECT_EQ(boxes.seen[3].title.toStdString(), "ПАУЗА");
            EXPECT_EQ(boxes.seen[3].owner, &main);
        }
        UserProfile saved;
        ASSERT_TRUE(ReadProfile("anna", saved));
        if (c.goesOn) {
            EXPECT_EQ(examples, 2);
            EXPECT_EQ(real.endRequests, 0);
            EXPECT_EQ(readFile(RecordsTableFileName()).size(), 780);
            EXPECT_EQ(saved.totalPoints, 2);
        } else {
            EXPECT_EQ(examples, 1);
            EXPECT_EQ(real.endRequests, 1);
            EXPECT_FALSE(FileExists(RecordsTableFileName()));
            EXPECT_EQ(saved.totalPoints, 1); // the totals are saved before the end
        }
    }
}

} // namespace
