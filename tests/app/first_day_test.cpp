// The teacher's first day, step by step as the help "Учителю: первые шаги"
// writes it, through the real windows on a fresh installation: the store
// names the class folder but this account may not write it yet, and the class
// folder is empty. Starting the program again is a fresh set of windows on the
// same store and folder.

#include "accounts/user_profile.h"
#include "app/program_windows.h"
#include "config/app_config.h"
#include "platform/config_store.h"
#include "platform/program_quit.h"
#include "platform/shell.h"
#include "program_test_env.h"
#include "records/result_record.h"
#include "support/exercise_wait.h"
#include "ui/shell_open.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Sets or clears the immutable attribute of a folder: it stops root from
// creating files there, which modes do not.
bool SetImmutable(const QString& folder, bool on)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return false;
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return done;
}

// The store's folder as the package leaves it: this account may read the
// store but create nothing beside it.
bool WithholdWriteAccess(const QString& folder)
{
    if (::geteuid() != 0)
        return ::chmod(QFile::encodeName(folder).constData(), 0555) == 0;
    return SetImmutable(folder, true);
}

// What ELEVHELP.exe does for the account: the store's folder becomes writable.
void GiveWriteAccess(const QString& folder)
{
    if (::geteuid() != 0)
        ::chmod(QFile::encodeName(folder).constData(), 0755);
    else
        SetImmutable(folder, false);
}

class FirstDayTest : public ProgramTest {
  protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        storeFolder_ = tempPath("etc-zelvo");
        ASSERT_TRUE(QDir().mkpath(storeFolder_));
        store_ = storeFolder_ + "/machine.reg";
        // The store as the package writes it: "PathUser" names the class folder.
        writeFile(store_,
                  QStringLiteral("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Brenk\\Dorvo]\n"
                                 "\"PathUser\"=\"%1\"\n")
                      .arg(StripTrailingSeparators(userFolder()))
                      .toUtf8());
        qputenv("ZELVO_MACHINE_STORE", store_.toLocal8Bit());
        writeFile(programFolder() + "ELEVHELP.exe", "#!/bin/sh\n");
        if (!WithholdWriteAccess(storeFolder_))
            GTEST_SKIP() << "cannot make " << storeFolder_.toStdString() << " unwritable here";
        withheld_ = true;
        ASSERT_FALSE(HasAdminRights());

        // Starting ELEVHELP.exe stands for the whole grant: the system
        // administrator's password given, the store's folder writable.
        SetShellOpenHook([this](const QString& file, const QString&) {
            started << file;
            if (file.endsWith("/ELEVHELP.exe"))
                GiveWriteAccess(storeFolder_);
            return true;
        });
    }

    void TearDown() override
    {
        SetShellOpenHook({});
        if (withheld_)
            GiveWriteAccess(storeFolder_);
        ProgramTest::TearDown();
    }

    // A new start of the program: fresh process state, fresh windows.
    std::unique_ptr<StartedProgram> StartProgram()
    {
        ResetQuitRequest();
        dialogs.messages.clear();
        dialogs.endRequests = 0;
        return std::make_unique<StartedProgram>(std::make_unique<RecordingSoundPlayer>());
    }

    // "Начать → Вход со своим именем", nick, password, "Войти".
    static void LogIn(ProgramWindows& w, const QString& nick, const QString& password)
    {
        w.form1().N6->trigger();
        ASSERT_TRUE(w.form4().isVisible());
        w.form4().ComboBox1->setEditText(nick);
        w.form4().Edit1->setText(password);
        w.form4().Button1->click();
        ASSERT_EQ(currentUser().nick, nick);
    }

    // Types the right answer of the example on the keypad and presses "Ввод".
    static void AnswerOnKeypad(TForm1& form)
    {
        const QString answer = QString::number(ExpectedValue(exerciseState()));
        QPushButton* byDigit[] = {form.Button13, form.Button7, form.Button8, form.Button9,
                                  form.Button4,  form.Button5, form.Button6, form.Button1,
                                  form.Button2,  form.Button3};
        for (QChar digit : answer)
            byDigit[digit.digitValue()]->click();
        form.Button11->click();
    }

    QString storeFolder_;
    QString store_;
    bool withheld_ = false;
    QStringList started; // files ShellOpen was asked to open
};

TEST_F(FirstDayTest, TheTeachersFirstStepsWorkInTheOrderOfTheHelp)
{
    // 1. The right to save settings: ADM with the empty password, "Установки ADM",
    //    "Дать этой программе администраторские права"; the program ends.
    auto w = StartProgram();
    LogIn(*w, "ADM", "");
    ASSERT_TRUE(w->form1().ADM1->isEnabled());
    w->form1().ADM1->trigger();
    ASSERT_TRUE(w->form5().isVisible());
    EXPECT_EQ(w->form5().Edit8->text(), userFolder());
    w->form5().Button3->click();
    EXPECT_EQ(started, QStringList{programFolder() + "ELEVHELP.exe"});
    EXPECT_EQ(dialogs.messages, QStringList{"Запустите снова программу"});
    EXPECT_EQ(dialogs.endRequests, 1);
    w.reset();

    // 2. Started again: ADM with the empty password sets a password.
    w = StartProgram();
    LogIn(*w, "ADM", "");
    ASSERT_TRUE(w->form1().N8->isEnabled());
    w->form1().N8->trigger();
    ASSERT_TRUE(w->form7().isVisible());
    w->form7().Edit1->clear();
    w->form7().Edit2->setText("Учитель7");
    w->form7().Edit3->setText("Учитель7");
    w->form7().Button1->click();
    EXPECT_EQ(dialogs.messages, QStringList{"Пароль изменен"});
    EXPECT_FALSE(w->form7().isVisible());

    // 3. The scoring: a bonus after three right answers, then "Сохранить"; the program ends.
    w->form1().ADM1->trigger();
    ASSERT_TRUE(w->form5().isVisible());
    w->form5().Edit2->setText("3");
    dialogs.messages.clear();
    w->form5().Button1->click();
    EXPECT_EQ(dialogs.messages, QStringList{"Конфигурация сохранена,перезапустите программу"});
    EXPECT_EQ(dialogs.endRequests, 1);
    w.reset();

    // 4. Started again: ADM logs in with the new password only, and the
    //    settings are in force. "Новый пользователь" is unavailable to ADM.
    w = StartProgram();
    EXPECT_EQ(appConfig().Scoring.rightStreakLength, 3);
    EXPECT_EQ(appConfig().PathUser, userFolder());
    w->form1().N6->trigger();
    w->form4().ComboBox1->setEditText("ADM");
    w->form4().Edit1->clear();
    w->form4().Button1->click();
    EXPECT_EQ(dialogs.messages, QStringList{"Неверный пароль"});
    LogIn(*w, "ADM", "учитель7"); // letter case does not count in passwords
    EXPECT_FALSE(w->form1().N9->isEnabled());
    w.reset();

    // 5. Started again, nobody logged in: a pupil creates herself, logs in,
    //    picks 0-9 and works up to 5 points; the result is in the class folder.
    w = StartProgram();
    ASSERT_TRUE(w->form1().N9->isEnabled());
    w->form1().N9->trigger();
    w->form6().Edit1->setText("masha");
    w->form6().Edit2->setText("Маша Иванова");
    w->form6().Edit3->setText("кот");
    w->form6().Edit4->setText("кот");
    w->form6().Button1->click();
    ASSERT_EQ(dialogs.messages, QStringList{"Пользователь создан"});
    EXPECT_TRUE(FileExists(userFolder() + "masha.zamrik"));
    LogIn(*w, "masha", "кот");

    w->form1().N12->trigger();
    w->form12().RadioButton1->setChecked(true);
    w->form12().Button1->click();
    EXPECT_EQ(w->form1().StaticText18->text(), "0-9");

    QTimer pupil;
    QObject::connect(&pupil, &QTimer::timeout, [&] {
        if (w->form1().Edit1->isEnabled() && !exerciseState().answered &&
            w->form1().StaticText1->text() != "?")
            AnswerOnKeypad(w->form1());
    });
    pupil.start(2);
    dialogs.inputAnswers.push_back("5");
    w->form1().N7->trigger();
    EXPECT_TRUE(ServeWhileExerciseRuns());
    pupil.stop();
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("; ").toStdString();

    EXPECT_EQ(readFile(userFolder() + "9record.config").size(), kResultRecordSize);
    EXPECT_TRUE(w->form11().isVisible());
    EXPECT_EQ(w->form11().gridCell(w->form11().selectedRow(), 1), "masha");
    UserProfile saved;
    ASSERT_TRUE(ReadProfile("masha", saved));
    EXPECT_GE(saved.totalPoints, 5);

    // The store kept what the teacher saved, the password digest among it.
    const QString stored = QString::fromUtf8(readFile(store_));
    EXPECT_TRUE(stored.contains("\"AdmConf\"=\"3|2|2|2\"")) << stored.toStdString();
    EXPECT_TRUE(stored.contains("\"MyPass\"=")) << stored.toStdString();
}

TEST_F(FirstDayTest, ThePasswordBeforeTheRightFailsOnAFreshInstallation)
{
    auto w = StartProgram();
    LogIn(*w, "ADM", "");
    w->form1().N8->trigger();
    w->form7().Edit2->setText("учитель7");
    w->form7().Edit3->setText("учитель7");
    w->form7().Button1->click();
    EXPECT_EQ(dialogs.messages,
              QStringList{"Чтобы изменить пароль ADM нужны права администратора на компьютере"});

    w->form1().ADM1->trigger();
    w->form5().Edit2->setText("3");
    dialogs.messages.clear();
    w->form5().Button1->click();
    EXPECT_EQ(dialogs.messages, QStringList{"Нужно зайти с правами администратора на компьютере"});
    EXPECT_EQ(dialogs.endRequests, 1);
    EXPECT_FALSE(QString::fromUtf8(readFile(store_)).contains("MyPass"));
}

} // namespace
