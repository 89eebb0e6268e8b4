#include "keeper/keeper_session.h"

#include "accounts/user_profile.h"
#include "platform/paths.h"
#include "util/files.h"

#include <QFile>

#include <unistd.h>

bool IsClassFolder(const struct stat& st, gid_t group)
{
    return S_ISDIR(st.st_mode) && st.st_uid == 0 && st.st_gid == group && (st.st_mode & 0007) == 0;
}

bool IsClassFolderAt(const QString& folder)
{
    if (!folder.startsWith(QLatin1Char('/')))
        return false;
    const QByteArray path = QFile::encodeName(StripTrailingSeparators(folder));
    struct stat st;
    return ::lstat(path.constData(), &st) == 0 && IsClassFolder(st, getegid());
}

namespace {

// The nicks of the folder's profiles that a request may name, page `from`.
KeeperAnswer NicksPage(const KeeperSession& session, qint32 from)
{
    QStringList nicks;
    for (const QString& nick : ListProfiles(session.folder)) {
        if (IsRequestNick(nick))
            nicks << nick;
    }
    KeeperAnswer answer;
    answer.texts = nicks.mid(from, kMaxTextsPerAnswer);
    answer.a = qint32(nicks.size());
    answer.more = qint64(from) + answer.texts.size() < nicks.size();
    return answer;
}

} // namespace

// Hello, the login list and the existence test are answered here; the other
// requests are handled by the session logic being written next, and until
// then refused.
KeeperAnswer HandleKeeperRequest(KeeperSession& session, const KeeperRequest& request)
{
    KeeperAnswer answer;
    if (request.op == KeeperOp::Hello) {
        answer.status = session.classFolder ? KeeperStatus::Ok : KeeperStatus::NotAClassFolder;
        answer.a = kKeeperProtocolVersion;
        return answer;
    }
    if (!session.classFolder) {
        answer.status = KeeperStatus::NotAClassFolder;
        return answer;
    }
    switch (request.op) {
    case KeeperOp::ListNicks:
        return NicksPage(session, request.from);
    case KeeperOp::ProfileExists:
        answer.status = UserFileExists(ProfilePath(session.folder, request.nick))
                            ? KeeperStatus::Ok
                            : KeeperStatus::No;
        return answer;
    default:
        answer.status = KeeperStatus::Refused;
        return answer;
    }
}
