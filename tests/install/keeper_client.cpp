// Speaks to the class folder's keeper by hand, as a pupil who bypasses the
// program would: starts KEEPER with a socket pair on descriptor 3 (passing on
// the environment, where a test build's keeper finds its store), sends one
// request per argument and prints one line per answer:
//   STATUS A TEXT [TEXTS...]  (status: ok no refused failed not-class bad)
// Requests: hello · list · exists NICK · login NICK PASSWORD · adm PASSWORD ·
// create NICK PASSWORD FULLNAME · totals SECONDS POINTS ·
// password OLD NEW · append RANGE TIME POINTS ERRORS DATE · table RANGE ·
// profile NICK · reset NICK · delete NICK · reset-table RANGE
//   keeper_client KEEPER REQUEST...     exit 0 when every request got an answer
#include "keeper/keeper_protocol.h"

#include <QString>
#include <QStringList>
#include <cstdio>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::optional<KeeperRequest> Parse(const QStringList& w)
{
    KeeperRequest r;
    const QString op = w.value(0);
    const auto n = [&](int i) { return w.value(i).toInt(); };
    if (op == "hello" && w.size() == 1)
        r.op = KeeperOp::Hello;
    else if (op == "list" && w.size() == 1)
        r.op = KeeperOp::ListNicks;
    else if (op == "exists" && w.size() == 2)
        r.op = KeeperOp::ProfileExists, r.nick = w[1];
    else if (op == "login" && w.size() == 3)
        r.op = KeeperOp::LogIn, r.nick = w[1], r.password = w[2];
    else if (op == "adm" && w.size() == 2)
        r.op = KeeperOp::LogInAdmin, r.password = w[1];
    else if (op == "create" && w.size() == 4)
        r.op = KeeperOp::CreateUser, r.nick = w[1], r.password = w[2], r.fullName = w[3];
    else if (op == "totals" && w.size() == 3)
        r.op = KeeperOp::SaveTotals, r.seconds = n(1), r.points = n(2);
    else if (op == "password" && w.size() == 3)
        r.op = KeeperOp::ChangePassword, r.password = w[1], r.newPassword = w[2];
    else if (op == "append" && w.size() == 6) {
        r.op = KeeperOp::Append, r.rangeText = w[1], r.timePerExample = n(2);
        r.points = n(3), r.errors = n(4), r.finishedAt = w[5];
    } else if (op == "table" && w.size() == 2)
        r.op = KeeperOp::ReadTable, r.rangeText = w[1], r.count = kMaxRecordsPerAnswer;
    else if (op == "profile" && w.size() == 2)
        r.op = KeeperOp::ReadProfile, r.nick = w[1];
    else if (op == "reset" && w.size() == 2)
        r.op = KeeperOp::ResetPassword, r.nick = w[1];
    else if (op == "delete" && w.size() == 2)
        r.op = KeeperOp::DeleteUser, r.nick = w[1];
    else if (op == "reset-table" && w.size() == 2)
        r.op = KeeperOp::ResetTable, r.rangeText = w[1];
    else
        return std::nullopt;
    return r;
}

const char* StatusName(KeeperStatus status)
{
    switch (status) {
    case KeeperStatus::Ok:
        return "ok";
    case KeeperStatus::No:
        return "no";
    case KeeperStatus::Refused:
        return "refused";
    case KeeperStatus::Failed:
        return "failed";
    case KeeperStatus::NotAClassFolder:
        return "not-class";
    case KeeperStatus::BadRequest:
        return "bad";
    }
    return "?";
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: keeper_client KEEPER REQUEST...\n");
        return 2;
    }
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
        return 2;
    const pid_t pid = fork();
    if (pid == 0) {
        if (dup2(ends[1], 3) != 3)
            _exit(127);
        execl(argv[1], argv[1], static_cast<char*>(nullptr));
        _exit(127);
    }
    close(ends[1]);
    int status = 0;
    for (int i = 2; i < argc; ++i) {
        const std::optional<KeeperRequest> request =
            Parse(QString::fromUtf8(argv[i]).split(QLatin1Char(' ')));
        if (!request) {
            std::fprintf(stderr, "unknown request: %s\n", argv[i]);
            status = 2;
            break;
        }
        QByteArray payload;
        std::optional<KeeperAnswer> answer;
        if (!WriteFrame(ends[0], EncodeRequest(*request)) ||
            !ReadFrame(ends[0], payload, kMaxAnswerBytes) || !(answer = DecodeAnswer(payload))) {
            std::printf("closed\n");
            status = 1;
            break;
        }
        QString line = QStringLiteral("%1 %2 %3")
                           .arg(StatusName(answer->status))
                           .arg(answer->a)
                           .arg(answer->text);
        for (const QString& text : answer->texts)
            line += QLatin1Char(' ') + text;
        for (const ResultRecord& row : answer->records)
            line += QStringLiteral(" row:%1:%2:%3").arg(row.nick).arg(row.fullName).arg(row.points);
        std::printf("%s\n", qUtf8Printable(line));
    }
    close(ends[0]);
    waitpid(pid, nullptr, 0);
    return status;
}
