// A small command-line program over the program's own routines, for the tests
// that run it under several real accounts (runuser) against a shared class
// folder and a shared configuration store.
//   class_driver [--wait-limit MS] COMMAND ...
//   class_driver new NICK PASSWORD FULLNAME
//   class_driver finish NICK PASSWORD POINTS SECONDS ERRORS
//   class_driver show NICK
//   class_driver convert                  (the start-up conversion of legacy tables)
//   class_driver hold-lock SECONDS        (a reader's shared lock on the class folder;
//                                          "held PID" on stdout once it is had)
//   class_driver path-user
//   class_driver save-settings ADMCONF
//   class_driver adm-login PASSWORD       (ADM's password against the store)
// --wait-limit shortens the wait for the class folder's lock. Exit status 0 on
// success; the reason of a failure goes to stderr.

#include "accounts/current_user.h"
#include "accounts/password_digest.h"
#include "config/app_config.h"
#include "exercise/program_state.h"
#include "exercise/scoring.h"
#include "keeper/class_folder_access.h"
#include "platform/config_store.h"
#include "platform/dialogs.h"
#include "platform/errors.h"
#include "platform/folder_lock.h"
#include "records/number_range.h"
#include "records/result_record.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QThread>
#include <cstdio>

namespace {

// Messages go to stderr, and a message counts as a failure.
class ConsoleDialogs : public Dialogs {
  public:
    bool failed = false;
    void message(const QString& text) override { report(text); }
    bool question(const QString& text, QuestionIcon) override { return report(text), false; }
    QString inputBox(const QString&, const QString& prompt, const QString&) override
    {
        return report(prompt), QString();
    }
    bool pauseBox(QWidget*, const QString&, const QString& text) override
    {
        return report(text), false;
    }
    bool chooseFolder(QWidget*, QString&) override { return false; }
    void errorReport(const QString& text) override { report(text); }
    void endProgram() override {}

  private:
    void report(const QString& text)
    {
        failed = true;
        std::fprintf(stderr, "%s\n", qUtf8Printable(text));
    }
};

int Fail(const QString& text)
{
    std::fprintf(stderr, "%s\n", qUtf8Printable(text));
    return 1;
}

// Logs the pupil in as the login window does.
bool LogIn(const QString& nick, const QString& password)
{
    ClearCurrentUser();
    ProfileView view;
    if (classFolder().logIn(nick, password, view) != LogInOutcome::Done)
        return false;
    currentUser().nick = nick;
    CopyView(view, currentUser().profile);
    return true;
}

int Run(QStringList args, ConsoleDialogs& dialogs)
{
    if (args.value(0) == "--wait-limit" && args.size() >= 2) {
        FolderLock::SetWaitLimitMilliseconds(args[1].toInt());
        args = args.mid(2);
    }
    const QString command = args.value(0);
    if (command == "path-user") {
        const auto value =
            StoreKey::openRead(QString::fromLatin1(kConfigKey)).readString("PathUser");
        std::printf("%s\n", value ? qUtf8Printable(*value) : "(none)");
        return 0;
    }
    if (command == "save-settings" && args.size() == 2) {
        auto key = StoreKey::openFull(QString::fromLatin1(kConfigKey), true);
        if (!key)
            return Fail("the store cannot be written");
        key->writeString("AdmConf", args[1]);
        return 0;
    }
    if (command == "adm-login" && args.size() == 2) {
        const std::optional<QString> digest = ReadAdminDigest();
        if (!digest)
            return Fail("the store cannot be read: ADM refused");
        return CheckPassword(args[1], *digest) ? 0 : Fail("wrong password");
    }

    InitFolders();
    LoadConfigAndReachUserFolder();
    if (command == "new" && args.size() == 4) {
        switch (classFolder().createUser(args[1], args[2], args[3])) {
        case NewUserOutcome::Exists:
            return Fail("the nick is taken");
        case NewUserOutcome::NotCreated:
            return Fail("the profile cannot be written");
        case NewUserOutcome::Done:
            return 0;
        }
    }
    // appends NICK PASSWORD COUNT: COUNT results of one run, points 1..COUNT;
    // "appended N" for each one the folder took. A step that fails (its keeper
    // killed) is reported and the run goes on with the next one.
    if (command == "appends" && args.size() == 4) {
        if (!LogIn(args[1], args[2]))
            return Fail("login refused");
        int failed = 0;
        for (int n = 1; n <= args[3].toInt(); ++n) {
            ResultRecord record;
            record.points = n;
            record.timePerExample = 100;
            record.finishedAt = FinishedAtText(QDateTime::currentDateTime());
            try {
                classFolder().appendResult(currentRange().rangeText, record);
                std::printf("appended %d\n", n);
                std::fflush(stdout);
            } catch (const ZelvoError&) {
                ++failed;
            }
        }
        return failed == 0 ? 0 : 1;
    }
    // passwd NICK OLD NEW: the password window's step
    if (command == "passwd" && args.size() == 4) {
        if (!LogIn(args[1], args[2]))
            return Fail("login refused");
        return classFolder().changePassword(args[2], args[3]) == PasswordOutcome::Done
                   ? 0
                   : Fail("not changed");
    }
    // login NICK PASSWORD: 0 when the password passes
    if (command == "login" && args.size() == 3)
        return LogIn(args[1], args[2]) ? 0 : 1;
    if (command == "finish" && args.size() == 6) {
        if (!LogIn(args[1], args[2]))
            return Fail("login refused");
        const qint32 points = args[3].toInt();
        const qint32 seconds = args[4].toInt();
        ResultRecord record;
        record.nick = currentUser().nick;
        record.fullName = currentUser().profile.fullName;
        record.timePerExample = TimePerExample(seconds, points);
        record.points = points;
        record.errors = args[5].toInt();
        record.finishedAt = FinishedAtText(QDateTime::currentDateTime());
        classFolder().appendResult(currentRange().rangeText, record);
        AddToCurrentTotals(seconds, points);
        const QString failed = SaveFailedMessage(SaveCurrentTotals());
        if (!failed.isEmpty())
            dialogs.message(failed);
        return dialogs.failed ? 1 : 0;
    }
    if (command == "convert" && args.size() == 1) {
        ConvertLegacyTables();
        return 0;
    }
    if (command == "hold-lock" && args.size() == 2) {
        const FolderLock lock(appConfig().PathUser, FolderLock::Mode::SharedNoCreate);
        if (!lock.held())
            return Fail("no lock");
        std::printf("held %lld\n", QCoreApplication::applicationPid());
        std::fflush(stdout);
        QThread::sleep(static_cast<unsigned long>(args[1].toInt()));
        return 0;
    }
    // adm-save PASSWORD ADMCONF: ADM's login, then the settings saved as the
    // settings window saves them
    if (command == "adm-save" && args.size() == 3) {
        if (classFolder().logInAdmin(args[1]) != AdminLogInOutcome::Done)
            return Fail("ADM refused");
        const QStringList fields = args[2].split('|');
        if (fields.size() != 4)
            return Fail("ADMCONF: four numbers");
        const ScoringSettings scoring{fields[0].toInt(), fields[1].toInt(), fields[2].toInt(),
                                      fields[3].toInt()};
        classFolder().saveSettings(scoring, appConfig().PathUser, appConfig().NoSound);
        return 0;
    }
    if (command == "show" && args.size() == 2) {
        UserProfile profile;
        if (!ReadProfile(args[1], profile))
            return Fail("no profile");
        std::printf("totals %d %d\n", profile.totalTime, profile.totalPoints);
        for (const ResultRecord& r : ReadResultRecords(RecordsTableFileName()))
            std::printf("record %s %d %d\n", qUtf8Printable(r.nick), r.points, r.errors);
        return 0;
    }
    return Fail(
        "usage: class_driver [--wait-limit MS] "
        "new|finish|appends|show|convert|hold-lock|path-user|save-settings|adm-login|adm-save ...");
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ProgramState state;
    ConsoleDialogs dialogs;
    setDialogs(&dialogs);
    try {
        return Run(app.arguments().mid(1), dialogs);
    } catch (const ZelvoError& e) {
        return Fail(e.text());
    }
}
