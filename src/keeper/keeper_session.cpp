#include "keeper/keeper_session.h"

#include "accounts/user_profile.h"
#include "platform/paths.h"
#include "platform/process_state.h"
#include "util/files.h"

#include <QFile>

#include <algorithm>

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

KeeperSession::KeeperSession() : previous_(InstalledStatePart<AppConfig>())
{
    InstalledStatePart<AppConfig>() = &config;
}

KeeperSession::~KeeperSession() { InstalledStatePart<AppConfig>() = previous_; }

namespace {

// The nicks of the folder's profiles that a request may name, page `from`.
KeeperAnswer NicksPage(KeeperSession& session, qint32 from)
{
    QStringList nicks;
    for (const QString& nick : session.rules.nicks()) {
        if (IsRequestNick(nick))
            nicks << nick;
    }
    KeeperAnswer answer;
    answer.texts = nicks.mid(from, kMaxTextsPerAnswer);
    answer.a = qint32(nicks.size());
    answer.more = qint64(from) + answer.texts.size() < nicks.size();
    return answer;
}

KeeperAnswer Outcome(int outcome)
{
    KeeperAnswer answer;
    answer.a = outcome;
    return answer;
}

KeeperAnswer WithView(KeeperAnswer answer, const ProfileView& view)
{
    answer.text = view.fullName;
    answer.texts = QStringList{QString::number(view.totalTime), QString::number(view.totalPoints)};
    return answer;
}

KeeperAnswer No()
{
    KeeperAnswer answer;
    answer.status = KeeperStatus::No;
    return answer;
}

KeeperAnswer TablePage(KeeperSession& session, const KeeperRequest& request)
{
    if (request.from == 0 || session.tableRange != request.rangeText) {
        session.table = session.rules.readTable(request.rangeText);
        session.tableRange = request.rangeText;
    }
    KeeperAnswer answer;
    const size_t size = session.table.size();
    const size_t from = std::min(size, size_t(request.from));
    const size_t to = std::min(size, from + size_t(request.count));
    answer.records.assign(session.table.begin() + qsizetype(from),
                          session.table.begin() + qsizetype(to));
    answer.a = qint32(size);
    answer.more = to < size;
    return answer;
}

KeeperAnswer Handle(KeeperSession& session, const KeeperRequest& r)
{
    ClassFolderSession& rules = session.rules;
    ProfileView view;
    switch (r.op) {
    case KeeperOp::ListNicks:
        return NicksPage(session, r.from);
    case KeeperOp::ProfileExists:
        return rules.profileExists(r.nick) ? KeeperAnswer() : No();
    case KeeperOp::LogIn: {
        const LogInOutcome outcome = rules.logIn(r.nick, r.password, view);
        return outcome == LogInOutcome::Done ? WithView(Outcome(int(outcome)), view)
                                             : Outcome(int(outcome));
    }
    case KeeperOp::LogInAdmin:
        return Outcome(int(rules.logInAdmin(r.password)));
    case KeeperOp::CreateUser:
        return Outcome(int(rules.createUser(r.nick, r.password, r.fullName)));
    case KeeperOp::SaveTotals: {
        const SaveOutcome outcome = rules.addTotals(r.seconds, r.points, view);
        return outcome == SaveOutcome::Saved ? WithView(Outcome(int(outcome)), view)
                                             : Outcome(int(outcome));
    }
    case KeeperOp::ChangePassword:
        return Outcome(int(rules.changePassword(r.password, r.newPassword)));
    case KeeperOp::Append: {
        ResultRecord row;
        row.timePerExample = r.timePerExample;
        row.points = r.points;
        row.errors = r.errors;
        row.finishedAt = r.finishedAt;
        rules.appendResult(r.rangeText, row);
        return KeeperAnswer();
    }
    case KeeperOp::ReadTable:
        return TablePage(session, r);
    case KeeperOp::ConvertLegacy:
        rules.convertLegacyTables();
        return KeeperAnswer();
    case KeeperOp::ReadProfile:
        return rules.readProfile(r.nick, view) ? WithView(KeeperAnswer(), view) : No();
    case KeeperOp::ResetPassword:
        return WithView(Outcome(int(rules.resetPassword(r.nick, view))), view);
    case KeeperOp::DeleteUser:
        rules.deleteUser(r.nick);
        return KeeperAnswer();
    case KeeperOp::ResetTable:
        rules.resetTable(r.rangeText);
        return KeeperAnswer();
    case KeeperOp::LogOut:
        rules.logOut();
        return KeeperAnswer();
    case KeeperOp::SaveSettings: {
        const std::optional<SettingsChange> change = DecodeSettings(r.settings);
        if (!change)
            break;
        rules.saveSettings(change->scoring, change->folder, change->noSound);
        return KeeperAnswer();
    }
    case KeeperOp::Hello:
    case KeeperOp::ReadSettings:
        break; // answered before
    }
    throw AccessRefused();
}

} // namespace

KeeperAnswer HandleKeeperRequest(KeeperSession& session, const KeeperRequest& request)
{
    KeeperAnswer answer;
    if (request.op == KeeperOp::Hello) {
        answer.status = session.classFolder ? KeeperStatus::Ok : KeeperStatus::NotAClassFolder;
        answer.a = kKeeperProtocolVersion;
        return answer;
    }
    // The settings are read for any folder: the program takes them from here
    // when the store is closed to its account.
    if (request.op == KeeperOp::ReadSettings)
        return SettingsAnswer(ReadStoredSettings());
    if (!session.classFolder) {
        answer.status = KeeperStatus::NotAClassFolder;
        return answer;
    }
    try {
        return Handle(session, request);
    } catch (const AccessRefused&) {
        answer.status = KeeperStatus::Refused;
    } catch (const IoError& error) {
        answer.status = KeeperStatus::Failed;
        answer.text = error.text();
        answer.a = error.code();
        answer.b = qint32(KeeperFailure::Io);
    } catch (const StoreError& error) {
        answer.status = KeeperStatus::Failed;
        answer.text = error.text();
        answer.b = qint32(KeeperFailure::Store);
    } catch (const ZelvoError& error) {
        answer.status = KeeperStatus::Failed;
        answer.text = error.text();
    }
    return answer;
}
