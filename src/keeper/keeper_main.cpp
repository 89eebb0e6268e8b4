// zelvo-keeper: the class folder's keeper. Installed setgid to the group that
// owns the class folder; the program starts one for its run with a socket
// pair on descriptor 3 and sends it requests (keeper_protocol.h). It takes
// nothing from its caller but that socket: no argument, no environment, no
// descriptor, no path. Exit status: 0 when reading ends (the end of the
// socket, or a frame out of bounds), 1 after a bad request (answered
// BadRequest) or an answer that cannot be sent, 2 when descriptor 3 is no
// socket or the standard descriptors cannot be opened.

#include "config/app_config.h"
#include "keeper/keeper_protocol.h"
#include "keeper/keeper_session.h"
#include "platform/errors.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kSocketFd = 3;

// Builds for tests (ZELVO_STORE_FROM_ENVIRONMENT) may name their store in
// ZELVO_MACHINE_STORE, which the cleared environment no longer holds: this
// reads it before the clearing and puts it back as the one variable
// afterwards. The package's keeper is built without the option: it reads only
// the fixed store, and holds not even the variable's name.
class TestStoreSeam {
  public:
    TestStoreSeam()
    {
#if ZELVO_STORE_FROM_ENVIRONMENT
        if (const char* path = std::getenv("ZELVO_MACHINE_STORE"))
            path_ = path;
#endif
    }
    void putBack() const
    {
#if ZELVO_STORE_FROM_ENVIRONMENT
        if (!path_.empty())
            setenv("ZELVO_MACHINE_STORE", path_.c_str(), 1);
#endif
    }

  private:
    std::string path_;
};

// Clears the environment, and wipes its strings as the process received them
// (what /proc/PID/environ shows), so that nothing of the caller's remains.
void ClearEnvironment(char** envp)
{
    clearenv();
    for (char** item = envp; item && *item; ++item)
        std::memset(*item, 0, std::strlen(*item));
}

// Every descriptor above the socket is closed.
void CloseInheritedDescriptors()
{
    if (close_range(kSocketFd + 1, ~0U, 0) == 0)
        return;
    struct rlimit limit;
    const rlim_t last = getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_max != RLIM_INFINITY
                            ? limit.rlim_max
                            : 1 << 20;
    for (rlim_t fd = kSocketFd + 1; fd < last; ++fd)
        close(int(fd));
}

// 0, 1 and 2 open (on /dev/null where they were closed), so that no file the
// keeper opens later takes their place.
bool OpenStandardDescriptors()
{
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        if (open("/dev/null", O_RDWR) != fd)
            return false;
    }
    return true;
}

// Signals as the caller left them are not the keeper's: none stays blocked,
// and a write to a socket that has gone or beyond the caller's file size
// limit fails with an error instead of ending the keeper in the middle.
void SetSignals()
{
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    signal(SIGPIPE, SIG_IGN);
    signal(SIGXFSZ, SIG_IGN);
}

bool IsSocket(int fd)
{
    struct stat st;
    return fstat(fd, &st) == 0 && S_ISSOCK(st.st_mode);
}

// The store's user folder, ending with "/", and whether it is a class folder.
void StartSession(KeeperSession& session)
{
    try {
        session.config.PathUser = StoredUserFolder().value_or(QString());
    } catch (const ZelvoError&) {
        session.config.PathUser.clear(); // a value of the wrong type names no folder
    }
    session.classFolder = IsClassFolderAt(session.config.PathUser);
}

} // namespace

// gcc names an AddressSanitizer build __SANITIZE_ADDRESS__, clang asks
// __has_feature.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZELVO_ADDRESS_SANITIZER 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(ZELVO_ADDRESS_SANITIZER)
// A sanitizer build's leak checker cannot run in a setgid process (it traces
// itself, which such a process may not), and ignores the options of the
// environment there: it would end every session with its error on the
// caller's terminal.
extern "C" int __lsan_is_turned_off() { return 1; }
#endif

int main(int, char**, char** envp)
{
    const TestStoreSeam testStore;
    ClearEnvironment(envp);
    umask(007);
    CloseInheritedDescriptors();
    if (!IsSocket(kSocketFd) || !OpenStandardDescriptors() || chdir("/") != 0)
        return 2;
    SetSignals();
    testStore.putBack();

    KeeperSession session;
    StartSession(session);
    QByteArray payload;
    // A bad frame ends the session without an answer; a bad request gets
    // BadRequest first. The end of the socket ends the keeper.
    while (ReadFrame(kSocketFd, payload, kMaxRequestBytes)) {
        const std::optional<KeeperRequest> request = DecodeRequest(payload);
        KeeperAnswer answer;
        if (request)
            answer = HandleKeeperRequest(session, *request);
        else
            answer.status = KeeperStatus::BadRequest;
        const QByteArray bytes = EncodeAnswer(answer);
        // An answer that breaks its bounds is a fault of the keeper: the
        // session ends rather than send something else.
        if (bytes.isEmpty() || !WriteFrame(kSocketFd, bytes) || !request)
            return 1;
    }
    return 0;
}
