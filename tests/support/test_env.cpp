#include "test_env.h"

#include "config/app_config.h"
#include "exercise/program_state.h"
#include "platform/program_quit.h"
#include "util/files.h"

#include <QDir>
#include <QFile>

ZelvoTest::ZelvoTest() = default;
ZelvoTest::~ZelvoTest() = default;

void ZelvoTest::SetUp()
{
    ASSERT_TRUE(dir_.isValid());
    QDir(dir_.path()).mkpath("program");
    QDir(dir_.path()).mkpath("users");
    qputenv("ZELVO_MACHINE_STORE", storePath().toLocal8Bit());
    SetProgramFolder(programFolder());
    state_ = std::make_unique<ProgramState>();
    appConfig().PathUser = userFolder();
    appConfig().soundOff = false;
    ResetQuitRequest();
}

void ZelvoTest::TearDown()
{
    QDir::setCurrent(QDir::tempPath());
    state_.reset();
}

QString ZelvoTest::programFolder() const { return dir_.path() + "/program/"; }
QString ZelvoTest::userFolder() const { return dir_.path() + "/users/"; }
QString ZelvoTest::storePath() const { return dir_.path() + "/machine.reg"; }
QString ZelvoTest::tempPath(const QString& name) const { return dir_.path() + "/" + name; }

void ZelvoTest::writeStore(const QString& values) const
{
    writeFile(
        storePath(),
        (QStringLiteral("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Brenk\\Dorvo]\n") + values)
            .toUtf8());
}

QString ZelvoTest::pathUserLine() const
{
    return QStringLiteral("\"PathUser\"=\"%1\"\n").arg(StripTrailingSeparators(userFolder()));
}

void ZelvoTest::writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    f.write(bytes);
}

QByteArray ZelvoTest::readFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}
