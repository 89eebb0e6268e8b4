// The built zelvo-keeper, started as the program starts it: a socket pair on
// descriptor 3, and whatever environment and descriptors its caller left.

#include "keeper/keeper_protocol.h"

#include "accounts/user_profile.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <set>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// What the test's keeper is handed on descriptor 3.
enum class Descriptor3 { Socket, Pipe };

class KeeperProcessTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        classFolder_ = dir_.path() + QStringLiteral("/class");
        store_ = dir_.path() + QStringLiteral("/machine.reg");
        ASSERT_EQ(mkdir(QFile::encodeName(classFolder_).constData(), 0700), 0);
        writeFile(store_,
                  "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Brenk\\Dorvo]\n\"PathUser\"=\"" +
                      QFile::encodeName(classFolder_) + "\"\n");
        writeFile(ProfilePath(classFolder_ + QLatin1Char('/'), QStringLiteral("anna")),
                  QByteArray(kUserProfileSize, '\0'));
    }
    void TearDown() override
    {
        if (fd_ >= 0)
            close(fd_);
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }

    // The class folder owned by root, of this process's group, with `mode`.
    // False (the test skips) where this process may not give it to root.
    bool makeFolder(mode_t mode) const
    {
        const QByteArray path = QFile::encodeName(classFolder_);
        return chown(path.constData(), 0, getegid()) == 0 && chmod(path.constData(), mode) == 0;
    }

    static void writeFile(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    // Starts the keeper with a hostile environment, standard input closed and
    // two more descriptors open.
    void start(Descriptor3 kind = Descriptor3::Socket)
    {
        int ends[2];
        if (kind == Descriptor3::Socket)
            ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends), 0);
        else
            ASSERT_EQ(pipe2(ends, O_CLOEXEC), 0);
        const QByteArray storeVariable = "ZELVO_MACHINE_STORE=" + QFile::encodeName(store_);
        const char* path = ZELVO_KEEPER_PATH;
        char* const argv[] = {const_cast<char*>(path), const_cast<char*>("--extra"), nullptr};
        char* const envp[] = {const_cast<char*>("LD_PRELOAD=/nonexistent"),
                              const_cast<char*>("ZELVO_X=1"),
                              const_cast<char*>("QT_PLUGIN_PATH=/tmp"),
                              const_cast<char*>(storeVariable.constData()), nullptr};
        const int extra = open("/dev/null", O_RDONLY | O_CLOEXEC);
        ASSERT_GE(extra, 0);
        pid_ = fork();
        ASSERT_GE(pid_, 0);
        if (pid_ == 0) {
            // Above 3 first, so that dup2 onto 3 makes a descriptor without close-on-exec.
            const int keeperEnd = fcntl(ends[1], F_DUPFD, 10);
            if (keeperEnd < 0 || dup2(keeperEnd, 3) != 3 || dup2(extra, 9) != 9)
                _exit(120);
            close(0);
            umask(022);
            execve(path, argv, envp);
            _exit(121);
        }
        close(extra);
        close(ends[1]);
        fd_ = ends[0];
        if (kind == Descriptor3::Socket) {
            // A keeper that never answers fails the test instead of hanging it.
            const timeval timeout{10, 0};
            setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
        }
    }

    std::optional<KeeperAnswer> ask(const KeeperRequest& request) const
    {
        if (!WriteFrame(fd_, EncodeRequest(request)))
            return std::nullopt;
        return read();
    }
    std::optional<KeeperAnswer> read() const
    {
        QByteArray payload;
        if (!ReadFrame(fd_, payload, kMaxAnswerBytes))
            return std::nullopt;
        return DecodeAnswer(payload);
    }
    // The keeper's exit status (-1 when a signal ended it).
    int finish()
    {
        close(fd_);
        fd_ = -1;
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    QByteArray procFile(const char* name) const
    {
        const QByteArray path = "/proc/" + QByteArray::number(pid_) + "/" + name;
        const int fd = open(path.constData(), O_RDONLY | O_CLOEXEC);
        QByteArray bytes;
        char buffer[4096];
        ssize_t got = 0;
        while (fd >= 0 && (got = ::read(fd, buffer, sizeof buffer)) > 0)
            bytes.append(buffer, int(got));
        if (fd >= 0)
            close(fd);
        return bytes;
    }
    std::set<int> openDescriptors() const
    {
        std::set<int> fds;
        const QByteArray path = "/proc/" + QByteArray::number(pid_) + "/fd";
        DIR* dir = opendir(path.constData());
        if (!dir)
            return fds;
        while (dirent* entry = readdir(dir)) {
            if (entry->d_name[0] != '.')
                fds.insert(atoi(entry->d_name));
        }
        closedir(dir);
        return fds;
    }

    QTemporaryDir dir_;
    QString classFolder_;
    QString store_;
    pid_t pid_ = -1;
    int fd_ = -1;
};

KeeperRequest Request(KeeperOp op)
{
    KeeperRequest request;
    request.op = op;
    return request;
}

} // namespace

TEST_F(KeeperProcessTest, AnswersWithNothingOfItsCallerLeft)
{
    if (!makeFolder(02770))
        GTEST_SKIP() << "the class folder cannot be given to root here";
    start();
    const std::optional<KeeperAnswer> hello = ask(Request(KeeperOp::Hello));
    ASSERT_TRUE(hello.has_value());
    EXPECT_EQ(hello->status, KeeperStatus::Ok);
    EXPECT_EQ(hello->a, kKeeperProtocolVersion);
    const std::optional<KeeperAnswer> nicks = ask(Request(KeeperOp::ListNicks));
    ASSERT_TRUE(nicks.has_value());
    EXPECT_EQ(nicks->status, KeeperStatus::Ok);
    EXPECT_EQ(nicks->texts, QStringList{QStringLiteral("anna")});
    EXPECT_FALSE(nicks->more);

    // The keeper now waits for the next request.
    const QByteArray environment = procFile("environ");
    EXPECT_EQ(environment.count('\0'), environment.size()) << environment.constData();
    EXPECT_FALSE(environment.contains("LD_PRELOAD"));
    EXPECT_EQ(openDescriptors(), (std::set<int>{0, 1, 2, 3}));
    EXPECT_TRUE(procFile("status").contains("\nUmask:\t0007\n"));
    struct stat null;
    struct stat in;
    ASSERT_EQ(stat("/dev/null", &null), 0);
    const QByteArray stdinPath = "/proc/" + QByteArray::number(pid_) + "/fd/0";
    ASSERT_EQ(stat(stdinPath.constData(), &in), 0);
    EXPECT_EQ(in.st_rdev, null.st_rdev);

    EXPECT_EQ(finish(), 0);
}

TEST_F(KeeperProcessTest, AFolderOpenToOthersIsNoClassFolder)
{
    if (!makeFolder(0775))
        GTEST_SKIP() << "the class folder cannot be given to root here";
    start();
    const std::optional<KeeperAnswer> hello = ask(Request(KeeperOp::Hello));
    ASSERT_TRUE(hello.has_value());
    EXPECT_EQ(hello->status, KeeperStatus::NotAClassFolder);
    const std::optional<KeeperAnswer> nicks = ask(Request(KeeperOp::ListNicks));
    ASSERT_TRUE(nicks.has_value());
    EXPECT_EQ(nicks->status, KeeperStatus::NotAClassFolder);
    EXPECT_TRUE(nicks->texts.isEmpty());
    EXPECT_EQ(finish(), 0);
}

TEST_F(KeeperProcessTest, ABadRequestIsAnsweredAndEndsTheSession)
{
    if (!makeFolder(02770))
        GTEST_SKIP() << "the class folder cannot be given to root here";
    start();
    KeeperRequest request = Request(KeeperOp::ProfileExists);
    request.nick = QStringLiteral("../class/anna");
    const std::optional<KeeperAnswer> answer = ask(request);
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(answer->status, KeeperStatus::BadRequest);
    EXPECT_FALSE(read().has_value()); // the keeper has closed its end
    EXPECT_EQ(finish(), 1);
}

TEST_F(KeeperProcessTest, AFrameOutOfBoundsEndsTheSessionUnanswered)
{
    if (!makeFolder(02770))
        GTEST_SKIP() << "the class folder cannot be given to root here";
    const QByteArray frames[] = {QByteArray(4, '\0'), QByteArray("\x01\x10\x00\x00", 4),
                                 QByteArray("\xFF\xFF\xFF\xFF", 4)};
    for (const QByteArray& frame : frames) {
        start();
        ASSERT_EQ(write(fd_, frame.constData(), size_t(frame.size())), frame.size());
        EXPECT_FALSE(read().has_value());
        EXPECT_EQ(finish(), 0);
    }
}

TEST_F(KeeperProcessTest, WithoutASocketOnDescriptor3ItEndsAtOnce)
{
    start(Descriptor3::Pipe);
    EXPECT_EQ(finish(), 2);
}
