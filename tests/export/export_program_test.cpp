// The zelvo-export program itself, run as a separate process: exit codes,
// standard output and standard error.

#include "export_fixture.h"

#include "accounts/password_digest.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <QProcess>
#include <QProcessEnvironment>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray kSummaryHeader = R"("НИК";"ФИО";"Всего очков";"Всего времени";"Время")"
                                  "\r\n";
const QByteArray kRecordsHeader = R"("NikName";"ФИО";"Time";"кол-во";"Дата";"Ошибок")"
                                  "\r\n";

struct Outcome {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

class ExportProgramTest : public ExportTest {
  protected:
    // Runs the program with `arguments`, without a display, with the store
    // of the fixture unless `environment` says otherwise.
    Outcome run(const QStringList& arguments,
                const QString& program = QStringLiteral(ZELVO_EXPORT_PATH))
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "ZELVO_KEEPER"})
            environment.remove(QString::fromLatin1(name));
        environment.insert("ZELVO_MACHINE_STORE", storePath());
        QProcess process;
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(tempPath(""));
        process.start(program, arguments);
        Outcome result;
        if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) {
            ADD_FAILURE() << "did not finish: " << program.toStdString();
            return result;
        }
        result.exitCode = process.exitCode();
        result.out = process.readAllStandardOutput();
        result.err = process.readAllStandardError();
        return result;
    }

    void writeStore(const QString& pathUser)
    {
        writeFile(storePath(),
                  ("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Brenk\\Dorvo]\n\"PathUser\"=\"" +
                   pathUser + "\"\n")
                      .toUtf8());
    }
};

// The package's configure step writes ADM's digest as the program's own
// password change does: the digest of the first line of standard input.
TEST_F(ExportProgramTest, PasswordDigestOfTheLineOnStandardInput)
{
    const struct {
        QByteArray input;
        int exitCode;
        QString password; // whose digest is printed
    } cases[] = {
        {"Секрет 1\nsecond line\n", 0, "Секрет 1"},
        {"no line end", 0, "no line end"},
        {"\n", 0, ""},
        {"", 1, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input.toStdString());
        QProcess process;
        process.start(QStringLiteral(ZELVO_EXPORT_PATH), {"--password-digest"});
        ASSERT_TRUE(process.waitForStarted());
        process.write(c.input);
        process.closeWriteChannel();
        ASSERT_TRUE(process.waitForFinished(60000));
        EXPECT_EQ(process.exitCode(), c.exitCode);
        EXPECT_EQ(process.readAllStandardOutput(),
                  c.exitCode == 0 ? (PasswordDigestText(c.password) + "\n").toUtf8()
                                  : QByteArray());
    }
    EXPECT_EQ(run({"--password-digest", "summary"}).exitCode, 2);
}

TEST_F(ExportProgramTest, HelpInRussianAndEnglish)
{
    for (const char* option : {"--help", "-h"}) {
        const Outcome r = run({option});
        EXPECT_EQ(r.exitCode, 0);
        EXPECT_TRUE(r.err.isEmpty());
        EXPECT_TRUE(r.out.startsWith("Использование:\n")) << r.out.toStdString();
        EXPECT_TRUE(r.out.contains("\nUsage:\n"));
        EXPECT_TRUE(r.out.contains("--separator"));
        EXPECT_EQ(r.out.count("--raw"), 2) << "in both languages";
        EXPECT_EQ(r.out.count("(zelvo-keeper) "), 2) << "both ways to the class folder";
    }
}

TEST_F(ExportProgramTest, WrongCommandLinesExitWithTwo)
{
    const QStringList cases[] = {{},
                                 {"record", "20"},
                                 {"records"},
                                 {"records", "21"},
                                 {"records", "20", "99"},
                                 {"summary", "20"},
                                 {"summary", "--separator", "\t"},
                                 {"summary", "--separator"},
                                 {"summary", "--output", ""},
                                 {"summary", "--colour"}};
    for (const QStringList& arguments : cases) {
        const Outcome r = run(arguments);
        EXPECT_EQ(r.exitCode, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_TRUE(
            r.err.startsWith("zelvo-export: неверная командная строка / wrong command line: "))
            << r.err.toStdString();
        EXPECT_TRUE(r.err.endsWith("zelvo-export: справка / help: zelvo-export --help\n"));
    }
}

TEST_F(ExportProgramTest, WritesTheCsvToStandardOutputOrAFile)
{
    WriteUser("anna", "Анна", 600, 150);
    WriteTable("9", {Result("anna", "Анна", 475, 20, "06-12-2026 09:05:07", 1)});
    const QByteArray summary = kSummaryHeader + R"("anna";"Анна";150;0:10:00; 15.0)"
                                                "\r\n";

    Outcome r = run({"summary", "--folder", userFolder()});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, summary);
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();

    r = run({"records", "9", "--separator", ",", "--folder", userFolder()});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, R"("NikName","ФИО","Time","кол-во","Дата","Ошибок")"
                     "\r\n"
                     R"("anna","Анна",475,20,"06-12-2026 09:05:07",1)"
                     "\r\n");

    // A relative output file is taken in the current folder.
    r = run({"--output", "class.csv", "summary", "--folder=" + userFolder()});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(readFile(tempPath("class.csv")), summary);
}

TEST_F(ExportProgramTest, RawWritesFormulaLikeNicksAsStored)
{
    WriteUser("=anna", "Анна", 600, 150);
    EXPECT_EQ(run({"summary", "--folder", userFolder()}).out,
              kSummaryHeader + R"("'=anna";"Анна";150;0:10:00; 15.0)"
                               "\r\n");
    EXPECT_EQ(run({"summary", "--raw", "--folder", userFolder()}).out,
              kSummaryHeader + R"("=anna";"Анна";150;0:10:00; 15.0)"
                               "\r\n");
}

TEST_F(ExportProgramTest, FolderFromTheStoreElseBesideTheProgram)
{
    WriteUser("anna", "Анна", 600, 150);
    writeStore(userFolder());
    Outcome r = run({"summary"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, kSummaryHeader + R"("anna";"Анна";150;0:10:00; 15.0)"
                                      "\r\n");

    // No store: the folder of the program, here a copy in the program folder.
    QFile::remove(storePath());
    const QString copy = programFolder() + "zelvo-export";
    ASSERT_TRUE(QFile::copy(ZELVO_EXPORT_PATH, copy));
    writeFile(programFolder() + "20record.config",
              EncodeResultRecord(Result("zoe", "Зоя", 100, 5, "01-01-2027 08:00:00", 0)));
    r = run({"records", "20"}, copy);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, kRecordsHeader + R"("zoe";"Зоя";100;5;"01-01-2027 08:00:00";0)"
                                      "\r\n");

    writeStore("");
    r = run({"summary"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(r.err, "zelvo-export: в хранилище настроек пустой \"PathUser\", укажите --folder / "
                     "the store's \"PathUser\" is empty, name the folder with --folder\n");
}

// A store that cannot be read, with no keeper to read it: its folder is
// unknown, and the program folder is not taken for it.
TEST_F(ExportProgramTest, UnreadableStoreWithoutAKeeperExitsWithOne)
{
    writeFile(programFolder() + "20record.config",
              EncodeResultRecord(Result("zoe", "Зоя", 100, 5, "01-01-2027 08:00:00", 0)));
    const QString copy = programFolder() + "zelvo-export";
    ASSERT_TRUE(QFile::copy(ZELVO_EXPORT_PATH, copy));
    ASSERT_TRUE(QDir().mkdir(storePath())); // read as no values, like a closed store
    const Outcome r = run({"records", "20"}, copy);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(r.err, ("zelvo-export: хранилище настроек не читается этой учётной записью, "
                      "укажите --folder / this account cannot read the configuration store, "
                      "name the folder with --folder: " +
                      storePath() + "\n")
                         .toUtf8());
}

TEST_F(ExportProgramTest, MissingFolderOrTableExitsWithOne)
{
    Outcome r = run({"summary", "--folder", tempPath("gone")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(r.err, ("zelvo-export: папка класса не найдена / class folder not found: " +
                      tempPath("gone") + "\n")
                         .toUtf8());

    r = run({"records", "999", "--folder", userFolder(), "--output", tempPath("out.csv")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, ("zelvo-export: нет таблицы рекордов / records table not found: " +
                      userFolder() + "999record.config\n")
                         .toUtf8());
    EXPECT_FALSE(QFileInfo::exists(tempPath("out.csv")));
}

TEST_F(ExportProgramTest, BadProfileIsNamedAndTheOthersWritten)
{
    WriteUser("anna", "Анна", 600, 150);
    WriteUser("zoe", "Зоя", 60, 1);
    writeFile(userFolder() + "broken.zamrik", QByteArray(100, 'x'));
    const Outcome r = run({"summary", "--folder", userFolder()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, kSummaryHeader + R"("anna";"Анна";150;0:10:00; 15.0)"
                                      "\r\n"
                                      R"("zoe";"Зоя";1;0:01:00;  1.0)"
                                      "\r\n");
    EXPECT_EQ(r.err, ("zelvo-export: не удалось прочитать / cannot read " + userFolder() +
                      "broken.zamrik: Read beyond end of file\n")
                         .toUtf8());
}

TEST_F(ExportProgramTest, NeverWritesIntoTheClassFolder)
{
    WriteUser("anna", "Анна", 600, 150);
    WriteTable("20", {Result("anna", "Анна", 475, 20, "06-12-2026 09:05:07", 1)});
    const QByteArray table = readFile(tablePath("20"));
    ASSERT_TRUE(QFile::link(tablePath("20"), tempPath("link.csv")));
    for (const QString& output :
         {tablePath("20"), userFolder() + "new.csv", tempPath("link.csv")}) {
        const Outcome r = run({"records", "20", "--folder", userFolder(), "--output", output});
        EXPECT_EQ(r.exitCode, 2) << output.toStdString();
        EXPECT_TRUE(r.err.startsWith("zelvo-export: в папку класса ничего не записывается / "
                                     "nothing is written into the class folder: "));
    }
    EXPECT_EQ(readFile(tablePath("20")), table);
    EXPECT_FALSE(QFileInfo::exists(userFolder() + "new.csv"));
}

TEST_F(ExportProgramTest, UnwritableOutputExitsWithOne)
{
    WriteUser("anna", "Анна", 600, 150);
    writeFile(tempPath("plain"), "x");
    const Outcome r =
        run({"summary", "--folder", userFolder(), "--output", tempPath("plain/out.csv")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.startsWith(
        ("zelvo-export: не удалось записать / cannot write " + tempPath("plain/out.csv") + ": ")
            .toUtf8()))
        << r.err.toStdString();
}

// The output is a new file of the teacher's own under the name given: a link
// there is replaced as a name, never followed; the mode comes from the umask,
// never from an old file.
TEST_F(ExportProgramTest, OutputIsANewFileNeverWrittenThroughALink)
{
    WriteUser("anna", "Анна", 600, 150);
    const QByteArray summary = kSummaryHeader + R"("anna";"Анна";150;0:10:00; 15.0)"
                                                "\r\n";
    writeFile(tempPath("ld.so.preload"), "root's own\n");
    ASSERT_TRUE(QFile::link(tempPath("ld.so.preload"), tempPath("link.csv")));
    ASSERT_TRUE(QFile::link(tempPath("created"), tempPath("dangling.csv")));
    writeFile(tempPath("old.csv"), "old");
    ASSERT_EQ(::chmod(QFile::encodeName(tempPath("old.csv")).constData(), 0666), 0);
    const mode_t umask = ::umask(077);
    for (const char* name : {"link.csv", "dangling.csv", "old.csv", "new.csv"}) {
        SCOPED_TRACE(name);
        const Outcome r = run({"summary", "--folder", userFolder(), "--output", tempPath(name)});
        EXPECT_EQ(r.exitCode, 0);
        EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
        const QFileInfo file(tempPath(name));
        EXPECT_FALSE(file.isSymLink());
        EXPECT_EQ(readFile(tempPath(name)), summary);
        struct stat st = {};
        EXPECT_EQ(::lstat(QFile::encodeName(tempPath(name)).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0600u);
    }
    ::umask(umask);
    EXPECT_EQ(readFile(tempPath("ld.so.preload")), "root's own\n");
    EXPECT_FALSE(QFileInfo::exists(tempPath("created")));
}

TEST_F(ExportProgramTest, OutputThatIsNoFileOrAnotherAccountsExitsWithTwo)
{
    WriteUser("anna", "Анна", 600, 150);
    ASSERT_EQ(::mkfifo(QFile::encodeName(tempPath("pipe")).constData(), 0666), 0);
    ASSERT_TRUE(QDir(tempPath("")).mkdir("folder"));
    writeFile(tempPath("theirs.csv"), "theirs");
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(QFile::encodeName(tempPath("theirs.csv")).constData(), 4321, 4321), 0);
    }
    const QString notAFile =
        "zelvo-export: файл вывода - не обычный файл / the output is not a regular file: ";
    const QString theirs =
        "zelvo-export: файл вывода принадлежит другой учётной записи, выберите другое имя / "
        "the output file belongs to another account, choose another name: ";
    const struct {
        QString output;
        QString message;
    } cases[] = {
        {tempPath("pipe"), notAFile},
        {tempPath("folder"), notAFile},
        {tempPath("folder/"), notAFile},
        {tempPath("theirs.csv"), theirs},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.output.toStdString());
        if (c.message == theirs && !root)
            continue; // only root can give a file to another account
        const Outcome r = run({"summary", "--folder", userFolder(), "--output", c.output});
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_EQ(r.err, (c.message + QFileInfo(c.output).absoluteFilePath() + "\n").toUtf8());
    }
    EXPECT_EQ(readFile(tempPath("theirs.csv")), "theirs");
    EXPECT_EQ(
        QDir(tempPath("folder")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
        QStringList());
}

// Run by an account that is not the files' owner: what it may read is
// exported (write access is never asked for), what it may not is named.
TEST_F(ExportProgramTest, AnotherAccountExportsWhatItMayRead)
{
    const QString runuser = QStringLiteral("/usr/sbin/runuser");
    if (geteuid() != 0 || !QFileInfo::exists(runuser))
        GTEST_SKIP() << "needs root and runuser";
    const QStringList asNobody = {"-u", "nobody", "--", ZELVO_EXPORT_PATH};
    if (run(asNobody + QStringList{"--help"}, runuser).exitCode != 0)
        GTEST_SKIP() << "the account nobody cannot run the program here";

    WriteUser("anna", "Анна", 600, 150);
    WriteUser("zoe", "Зоя", 60, 1);
    WriteTable("20", {Result("anna", "Анна", 475, 20, "06-12-2026 09:05:07", 1)});
    WriteTable("99", {Result("anna", "Анна", 475, 20, "06-12-2026 09:05:07", 1)});
    const auto readable = QFile::ReadOwner | QFile::ReadUser | QFile::ReadGroup | QFile::ReadOther;
    const auto enterable =
        readable | QFile::ExeOwner | QFile::ExeUser | QFile::ExeGroup | QFile::ExeOther;
    ASSERT_TRUE(QFile::setPermissions(tempPath(""), enterable | QFile::WriteOwner));
    ASSERT_TRUE(QFile::setPermissions(userFolder(), enterable | QFile::WriteOwner));
    ASSERT_TRUE(QFile::setPermissions(userFolder() + "anna.zamrik", readable));
    ASSERT_TRUE(QFile::setPermissions(userFolder() + "zoe.zamrik", QFile::WriteOwner));
    ASSERT_TRUE(QFile::setPermissions(tablePath("20"), readable));
    ASSERT_TRUE(QFile::setPermissions(tablePath("99"), QFile::WriteOwner));

    Outcome r = run(asNobody + QStringList{"summary", "--folder", userFolder()}, runuser);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, kSummaryHeader + R"("anna";"Анна";150;0:10:00; 15.0)"
                                      "\r\n");
    EXPECT_EQ(r.err, ("zelvo-export: не удалось прочитать / cannot read " + userFolder() +
                      "zoe.zamrik: cannot be opened\n")
                         .toUtf8());

    r = run(asNobody + QStringList{"records", "20", "--folder", userFolder()}, runuser);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, kRecordsHeader + R"("anna";"Анна";475;20;"06-12-2026 09:05:07";1)"
                                      "\r\n");

    r = run(asNobody + QStringList{"records", "99", "--folder", userFolder()}, runuser);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(r.err, ("zelvo-export: не удалось прочитать / cannot read " + tablePath("99") +
                      ": File access denied\n")
                         .toUtf8());
}

} // namespace
