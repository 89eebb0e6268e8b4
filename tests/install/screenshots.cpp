// Takes the README's screenshots through the program's real windows: the main
// window of a logged-in pupil, an exercise in progress and the records table.
// A pupil of its own answers on the keypad; the class is made up here, in a
// temporary folder. Run by scripts/screenshots under Xvfb.
//   zelvo_screenshots OUTPUT_FOLDER

#include "accounts/password_digest.h"
#include "accounts/user_profile.h"
#include "app/program_test_env.h"
#include "config/app_config.h"
#include "exercise/exercise_state.h"
#include "records/result_record.h"
#include "support/exercise_wait.h"
#include "support/scripted_dialogs.h"
#include "util/files.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

namespace {

bool Save(QWidget& window, const QString& path)
{
    QCoreApplication::processEvents();
    const bool saved = window.grab().save(path);
    std::printf("%s %s\n", saved ? "wrote" : "could not write", qUtf8Printable(path));
    return saved;
}

// Earlier results of the class, so that the table has rows to sort.
void MakeClass()
{
    const struct {
        const char* nick;
        const char* fullName;
        qint32 timePerExample, points, errors;
        const char* finishedAt;
    } rows[] = {
        {"petya", "Петров Петя", 412, 20, 2, "07-12-2026 10:15:02"},
        {"olya", "Смирнова Оля", 298, 30, 0, "08-12-2026 11:02:45"},
        {"dima", "Кузнецов Дима", 655, 15, 4, "09-12-2026 09:40:13"},
    };
    for (const auto& r : rows) {
        UserProfile profile;
        profile.fullName = QString::fromUtf8(r.fullName);
        profile.digestText = PasswordDigestText(QString());
        WriteProfile(r.nick, profile);
        AppendResultRecord({r.nick, profile.fullName, r.timePerExample, r.points,
                            QString::fromLatin1(r.finishedAt), r.errors});
    }
}

void Type(TForm1& form, const QString& text)
{
    QPushButton* byDigit[] = {form.Button13, form.Button7, form.Button8, form.Button9,
                              form.Button4,  form.Button5, form.Button6, form.Button1,
                              form.Button2,  form.Button3};
    for (QChar digit : text)
        byDigit[digit.digitValue()]->click();
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QFont font = QApplication::font();
    font.setPointSize(8);
    QApplication::setFont(font);
    if (argc != 2) {
        std::fprintf(stderr, "usage: zelvo_screenshots OUTPUT_FOLDER\n");
        return 2;
    }
    const QString out = QDir(QString::fromLocal8Bit(argv[1])).absolutePath() + "/";
    QDir().mkpath(out);

    QTemporaryDir dir;
    QDir(dir.path()).mkpath("users");
    const QString store = dir.path() + "/machine.reg";
    QFile file(store);
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    file.write(
        QStringLiteral(
            "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Brenk\\Dorvo]\n\"PathUser\"=\"%1/users\"\n")
            .arg(dir.path())
            .toUtf8());
    file.close();
    qputenv("ZELVO_MACHINE_STORE", QFile::encodeName(store));

    ScriptedDialogs dialogs;
    StartedProgram w{std::make_unique<RecordingSoundPlayer>()};
    MakeClass();
    UserProfile masha;
    masha.fullName = QStringLiteral("Иванова Маша");
    masha.digestText = PasswordDigestText(QString());
    WriteProfile("masha", masha);

    w.form1().show();
    w.form4().ComboBox1->setEditText("masha");
    w.form4().Button1->click();
    bool ok = Save(w.form1(), out + "main-window.png");

    // The exercise: right answers, one wrong answer and its correction; the
    // picture is taken with the next answer half typed.
    int answers = 0;
    QTimer pupil;
    QObject::connect(&pupil, &QTimer::timeout, [&] {
        TForm1& f = w.form1();
        if (!f.Edit1->isEnabled() || exerciseState().answered || f.StaticText1->text() == "?")
            return;
        const QString right = QString::number(ExpectedValue(exerciseState()));
        ++answers;
        if (answers == 3) {
            Type(f, right + "1");
            f.Button11->click();
        } else if (answers == 6) {
            exerciseState().elapsedSeconds = 47;
            f.StaticText11->setText("0:00:47");
            Type(f, right.left(1));
            ok = Save(f, out + "exercise.png") && ok;
            f.Button12->click();
        }
        if (exerciseState().correctionPending || f.Edit1->text().isEmpty()) {
            Type(f, right);
            if (!exerciseState().correctionPending)
                f.Button11->click();
        }
    });
    pupil.start(5);
    dialogs.inputAnswers.push_back("10");
    w.form1().N7->trigger();
    ServeWhileExerciseRuns(60000);
    pupil.stop();

    w.form11().move(w.form1().pos());
    ok = w.form11().isVisible() && Save(w.form11(), out + "records.png") && ok;
    return ok ? 0 : 1;
}
