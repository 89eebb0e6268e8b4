#include "keeper/keeper_client.h"

#include <QFile>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

constexpr int kKeeperFd = 3;

ZelvoError KeeperGone()
{
    return ZelvoError(QStringLiteral("Нет связи с хранителем папки класса (zelvo-keeper): "
                                     "шаг не выполнен. Попробуйте ещё раз."));
}

// The UTF-8 of a text field fits the protocol's bound.
bool FitsText(const QString& text) { return text.toUtf8().size() <= kMaxTextBytes; }

ProfileView ViewOf(const KeeperAnswer& answer)
{
    ProfileView view;
    view.fullName = answer.text;
    view.totalTime = answer.texts.value(0).toInt();
    view.totalPoints = answer.texts.value(1).toInt();
    return view;
}

KeeperRequest Request(KeeperOp op)
{
    KeeperRequest request;
    request.op = op;
    return request;
}

// The outcome in `a`, one of an enum's values up to `last`.
template <typename Outcome> Outcome OutcomeOf(const KeeperAnswer& answer, Outcome last)
{
    if (answer.status != KeeperStatus::Ok || answer.a < 0 || answer.a > int(last))
        throw KeeperGone();
    return Outcome(answer.a);
}

} // namespace

QString KeeperProgram(const QString& programFolder)
{
#if ZELVO_STORE_FROM_ENVIRONMENT
    Q_UNUSED(programFolder);
    return QFile::decodeName(qgetenv("ZELVO_KEEPER"));
#else
    const QString program = programFolder + QStringLiteral("zelvo-keeper");
    return QFile::exists(program) ? program : QString();
#endif
}

KeeperClient::KeeperClient(const QString& program) : program_(program) {}

KeeperClient::~KeeperClient() { disconnect(); }

std::unique_ptr<KeeperClient> KeeperClient::start(const QString& program)
{
    std::unique_ptr<KeeperClient> client(new KeeperClient(program));
    if (!client->connect())
        return nullptr;
    return client;
}

bool KeeperClient::connect()
{
    int pair[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0)
        return false;
    // The keeper's end goes to its descriptor 3; dup2 onto the same number
    // would keep close-on-exec, so it never starts there.
    int keeperEnd = pair[1];
    if (keeperEnd == kKeeperFd) {
        keeperEnd = fcntl(pair[1], F_DUPFD_CLOEXEC, kKeeperFd + 1);
        close(pair[1]);
        if (keeperEnd < 0) {
            close(pair[0]);
            return false;
        }
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, keeperEnd, kKeeperFd);
    const QByteArray path = QFile::encodeName(program_);
    char* const argv[] = {const_cast<char*>(path.constData()), nullptr};
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, path.constData(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(keeperEnd);
    if (spawned != 0) {
        close(pair[0]);
        return false;
    }
    socket_ = pair[0];
    pid_ = pid;
    try {
        const KeeperAnswer hello = ask(Request(KeeperOp::Hello));
        if (hello.a == kKeeperProtocolVersion) {
            classFolder_ = hello.status == KeeperStatus::Ok;
            return true;
        }
    } catch (const ZelvoError&) {
    }
    disconnect();
    return false;
}

void KeeperClient::disconnect()
{
    if (socket_ >= 0)
        close(socket_);
    socket_ = -1;
    if (pid_ > 0) {
        // The end of the socket ends the keeper; one that is stuck is ended.
        int status = 0;
        pid_t done = 0;
        for (int wait = 0; wait < 50 && (done = waitpid(pid_, &status, WNOHANG)) == 0; ++wait)
            usleep(10000);
        if (done == 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
        }
    }
    pid_ = -1;
}

KeeperAnswer KeeperClient::ask(const KeeperRequest& request)
{
    const QByteArray payload = EncodeRequest(request);
    if (payload.isEmpty())
        throw AccessRefused(); // a text over the protocol's bounds
    QByteArray bytes;
    if (socket_ < 0 || !WriteFrame(socket_, payload) ||
        !ReadFrame(socket_, bytes, kMaxAnswerBytes)) {
        disconnect();
        throw KeeperGone();
    }
    const std::optional<KeeperAnswer> answer = DecodeAnswer(bytes);
    if (!answer || answer->status == KeeperStatus::BadRequest) {
        disconnect(); // the keeper has ended the session
        throw KeeperGone();
    }
    switch (answer->status) {
    case KeeperStatus::Refused:
        throw AccessRefused();
    case KeeperStatus::Failed:
        if (answer->b == qint32(KeeperFailure::Io))
            throw IoError(answer->a);
        if (answer->b == qint32(KeeperFailure::Store))
            throw StoreError(answer->text);
        throw ZelvoError(answer->text);
    default:
        break;
    }
    return *answer;
}

KeeperAnswer KeeperClient::exchange(const KeeperRequest& request)
{
    if (socket_ < 0) {
        // A keeper started anew: this run's login is repeated first.
        if (!connect())
            throw KeeperGone();
        KeeperRequest again = Request(KeeperOp::LogOut);
        if (login_ == Login::Pupil) {
            again.op = KeeperOp::LogIn;
            again.nick = nick_;
            again.password = password_;
        } else if (login_ == Login::Admin) {
            again.op = KeeperOp::LogInAdmin;
            again.password = password_;
        }
        if (login_ != Login::Nobody && ask(again).a != int(LogInOutcome::Done)) {
            login_ = Login::Nobody; // the password was changed meanwhile
            throw AccessRefused();
        }
    }
    const KeeperAnswer answer = ask(request);
    if (answer.status == KeeperStatus::NotAClassFolder)
        throw KeeperGone(); // the folder changed under the run
    return answer;
}

StoredSettings KeeperClient::readSettings()
{
    const std::optional<StoredSettings> stored =
        SettingsOfAnswer(exchange(Request(KeeperOp::ReadSettings)));
    if (!stored)
        throw KeeperGone();
    return *stored;
}

QStringList KeeperClient::nicks()
{
    QStringList nicks;
    KeeperRequest request = Request(KeeperOp::ListNicks);
    for (;;) {
        const KeeperAnswer answer = exchange(request);
        nicks += answer.texts;
        if (!answer.more || answer.texts.isEmpty())
            return nicks;
        request.from = qint32(nicks.size());
    }
}

bool KeeperClient::profileExists(const QString& nick)
{
    if (!IsRequestNick(nick))
        return false; // no profile can have that name
    KeeperRequest request = Request(KeeperOp::ProfileExists);
    request.nick = nick;
    return exchange(request).status == KeeperStatus::Ok;
}

std::vector<ResultRecord> KeeperClient::readTable(const QString& rangeText)
{
    std::vector<ResultRecord> records;
    KeeperRequest request = Request(KeeperOp::ReadTable);
    request.rangeText = rangeText;
    request.count = kMaxRecordsPerAnswer;
    for (;;) {
        const KeeperAnswer answer = exchange(request);
        records.insert(records.end(), answer.records.begin(), answer.records.end());
        if (!answer.more || answer.records.empty())
            return records;
        request.from = qint32(records.size());
    }
}

void KeeperClient::convertLegacyTables() { exchange(Request(KeeperOp::ConvertLegacy)); }

LogInOutcome KeeperClient::logIn(const QString& nick, const QString& password, ProfileView& view)
{
    login_ = Login::Nobody;
    if (!IsRequestNick(nick)) {
        logOut();
        return LogInOutcome::NoProfile;
    }
    if (!FitsText(password)) {
        logOut();
        return LogInOutcome::WrongPassword; // longer than any password the keeper takes
    }
    KeeperRequest request = Request(KeeperOp::LogIn);
    request.nick = nick;
    request.password = password;
    const KeeperAnswer answer = exchange(request);
    const LogInOutcome outcome = OutcomeOf(answer, LogInOutcome::Done);
    if (outcome == LogInOutcome::Done) {
        view = ViewOf(answer);
        login_ = Login::Pupil;
        nick_ = nick;
        password_ = password;
    }
    return outcome;
}

AdminLogInOutcome KeeperClient::logInAdmin(const QString& password)
{
    login_ = Login::Nobody;
    if (!FitsText(password)) {
        logOut();
        return AdminLogInOutcome::WrongPassword;
    }
    KeeperRequest request = Request(KeeperOp::LogInAdmin);
    request.password = password;
    const AdminLogInOutcome outcome = OutcomeOf(exchange(request), AdminLogInOutcome::Done);
    if (outcome == AdminLogInOutcome::Done) {
        login_ = Login::Admin;
        password_ = password;
    }
    return outcome;
}

void KeeperClient::logOut()
{
    login_ = Login::Nobody;
    nick_.clear();
    password_.clear();
    if (socket_ >= 0)
        exchange(Request(KeeperOp::LogOut));
}

NewUserOutcome KeeperClient::createUser(const QString& nick, const QString& password,
                                        const QString& fullName)
{
    if (!IsRequestNick(nick) || !FitsText(password) || !FitsText(fullName))
        return NewUserOutcome::NotCreated; // no profile file can have that name
    KeeperRequest request = Request(KeeperOp::CreateUser);
    request.nick = nick;
    request.password = password;
    request.fullName = fullName;
    return OutcomeOf(exchange(request), NewUserOutcome::Done);
}

SaveOutcome KeeperClient::addTotals(qint32 seconds, qint32 points, ProfileView& view)
{
    KeeperRequest request = Request(KeeperOp::SaveTotals);
    request.seconds = seconds;
    request.points = points;
    const KeeperAnswer answer = exchange(request);
    const SaveOutcome outcome = OutcomeOf(answer, SaveOutcome::Saved);
    if (outcome == SaveOutcome::Saved)
        view = ViewOf(answer);
    return outcome;
}

PasswordOutcome KeeperClient::changePassword(const QString& password, const QString& newPassword)
{
    if (!FitsText(password) || !FitsText(newPassword))
        return PasswordOutcome::WrongPassword;
    KeeperRequest request = Request(KeeperOp::ChangePassword);
    request.password = password;
    request.newPassword = newPassword;
    const PasswordOutcome outcome = OutcomeOf(exchange(request), PasswordOutcome::Done);
    if (outcome == PasswordOutcome::Done)
        password_ = newPassword;
    return outcome;
}

void KeeperClient::appendResult(const QString& rangeText, const ResultRecord& row)
{
    KeeperRequest request = Request(KeeperOp::Append);
    request.rangeText = rangeText;
    request.timePerExample = row.timePerExample;
    request.points = row.points;
    request.errors = row.errors;
    request.finishedAt = row.finishedAt;
    exchange(request);
}

bool KeeperClient::readProfile(const QString& nick, ProfileView& view)
{
    if (!IsRequestNick(nick))
        return false;
    KeeperRequest request = Request(KeeperOp::ReadProfile);
    request.nick = nick;
    const KeeperAnswer answer = exchange(request);
    if (answer.status != KeeperStatus::Ok)
        return false;
    view = ViewOf(answer);
    return true;
}

ResetOutcome KeeperClient::resetPassword(const QString& nick, ProfileView& view)
{
    if (!IsRequestNick(nick))
        return ResetOutcome::Vanished;
    KeeperRequest request = Request(KeeperOp::ResetPassword);
    request.nick = nick;
    const KeeperAnswer answer = exchange(request);
    const ResetOutcome outcome = OutcomeOf(answer, ResetOutcome::Done);
    view = ViewOf(answer);
    return outcome;
}

void KeeperClient::deleteUser(const QString& nick)
{
    if (!IsRequestNick(nick))
        return;
    KeeperRequest request = Request(KeeperOp::DeleteUser);
    request.nick = nick;
    exchange(request);
}

void KeeperClient::resetTable(const QString& rangeText)
{
    KeeperRequest request = Request(KeeperOp::ResetTable);
    request.rangeText = rangeText;
    exchange(request);
}

void KeeperClient::saveSettings(const ScoringSettings& scoring, const QString& folder, bool noSound)
{
    KeeperRequest request = Request(KeeperOp::SaveSettings);
    request.settings = EncodeSettings(scoring, folder, noSound);
    if (!FitsText(request.settings))
        throw StoreError(QStringLiteral("Failed to set data for 'PathUser'"));
    exchange(request);
}
