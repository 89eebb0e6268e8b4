// What makes a class folder, and the requests the keeper's session answers so far.

#include "keeper/keeper_session.h"

#include "accounts/user_profile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

TEST(KeeperClassFolder, OnlyARootFolderOfTheKeepersGroupClosedToOthers)
{
    constexpr gid_t kGroup = 123;
    struct Case {
        const char* name;
        mode_t mode;
        uid_t owner;
        gid_t group;
        bool classFolder;
    };
    const Case cases[] = {
        {"root:zelvo 2770", S_IFDIR | 02770, 0, kGroup, true},
        {"root:zelvo 0770", S_IFDIR | 0770, 0, kGroup, true},
        {"root:zelvo 0700", S_IFDIR | 0700, 0, kGroup, true},
        {"others may read", S_IFDIR | 02774, 0, kGroup, false},
        {"others may enter", S_IFDIR | 02771, 0, kGroup, false},
        {"others may write", S_IFDIR | 02772, 0, kGroup, false},
        {"0775", S_IFDIR | 0775, 0, kGroup, false},
        {"owned by a pupil", S_IFDIR | 02770, 1000, kGroup, false},
        {"another group", S_IFDIR | 02770, 0, kGroup + 1, false},
        {"group root", S_IFDIR | 02770, 0, 0, false},
        {"a link", S_IFLNK | 0770, 0, kGroup, false},
        {"a file", S_IFREG | 0770, 0, kGroup, false},
    };
    for (const Case& c : cases) {
        struct stat st = {};
        st.st_mode = c.mode;
        st.st_uid = c.owner;
        st.st_gid = c.group;
        EXPECT_EQ(IsClassFolder(st, kGroup), c.classFolder) << c.name;
    }
}

TEST(KeeperClassFolder, TheFolderItselfByItsAbsolutePath)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.path() + QStringLiteral("/class");
    const QByteArray path = QFile::encodeName(folder);
    ASSERT_EQ(mkdir(path.constData(), 02770), 0);
    if (chown(path.constData(), 0, getegid()) != 0 || chmod(path.constData(), 02770) != 0)
        GTEST_SKIP() << "the folder cannot be given to root here";
    const QString link = dir.path() + QStringLiteral("/link");
    ASSERT_TRUE(QFile::link(folder, link));
    const std::pair<QString, bool> cases[] = {
        {folder, true},
        {folder + QLatin1Char('/'), true},
        {link, false},
        {link + QLatin1Char('/'), false},
        {QDir::current().relativeFilePath(folder) + QLatin1Char('/'), false},
        {folder + QStringLiteral("/missing/"), false},
        {QString(), false},
    };
    for (const auto& [text, classFolder] : cases)
        EXPECT_EQ(IsClassFolderAt(text), classFolder) << text.toStdString();
}

namespace {

class KeeperSessionTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        session_.config.PathUser = dir_.path() + QLatin1Char('/');
        session_.classFolder = true;
    }
    void addProfile(const QString& nick) const
    {
        QFile file(ProfilePath(session_.config.PathUser, nick));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(kUserProfileSize, '\0'));
    }
    KeeperAnswer ask(const KeeperRequest& request)
    {
        return HandleKeeperRequest(session_, request);
    }

    QTemporaryDir dir_;
    KeeperSession session_;
};

KeeperRequest Request(KeeperOp op, const QString& nick = QString(), qint32 from = 0)
{
    KeeperRequest request;
    request.op = op;
    request.nick = nick;
    request.from = from;
    return request;
}

} // namespace

TEST_F(KeeperSessionTest, HelloTellsWhetherTheFolderIsAClassFolder)
{
    EXPECT_EQ(ask(Request(KeeperOp::Hello)).status, KeeperStatus::Ok);
    EXPECT_EQ(ask(Request(KeeperOp::Hello)).a, kKeeperProtocolVersion);
    session_.classFolder = false;
    EXPECT_EQ(ask(Request(KeeperOp::Hello)).status, KeeperStatus::NotAClassFolder);
    addProfile(QStringLiteral("anna"));
    for (KeeperOp op : {KeeperOp::ListNicks, KeeperOp::ProfileExists, KeeperOp::LogIn})
        EXPECT_EQ(ask(Request(op, QStringLiteral("anna"))).status, KeeperStatus::NotAClassFolder)
            << int(op);
}

TEST_F(KeeperSessionTest, NicksComeInPagesOfNicksARequestMayName)
{
    QStringList expected;
    for (int n = 0; n < 70; ++n) {
        expected << QStringLiteral("ник%1").arg(n);
        addProfile(expected.last());
    }
    addProfile(QString::fromUtf8("日本")); // no Windows-1251: no request could name it
    QStringList listed;
    KeeperAnswer first = ask(Request(KeeperOp::ListNicks));
    EXPECT_EQ(first.status, KeeperStatus::Ok);
    EXPECT_EQ(first.texts.size(), kMaxTextsPerAnswer);
    EXPECT_EQ(first.a, 70);
    EXPECT_TRUE(first.more);
    KeeperAnswer second = ask(Request(KeeperOp::ListNicks, QString(), kMaxTextsPerAnswer));
    EXPECT_EQ(second.texts.size(), 70 - kMaxTextsPerAnswer);
    EXPECT_FALSE(second.more);
    listed << first.texts << second.texts;
    listed.sort();
    expected.sort();
    EXPECT_EQ(listed, expected);
    EXPECT_FALSE(EncodeAnswer(first).isEmpty());

    KeeperAnswer beyond = ask(Request(KeeperOp::ListNicks, QString(), 1000000));
    EXPECT_TRUE(beyond.texts.isEmpty());
    EXPECT_FALSE(beyond.more);
}

TEST_F(KeeperSessionTest, ProfileExistsAnswersYesOrNo)
{
    addProfile(QStringLiteral("anna"));
    ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("folder.zamrik")));
    EXPECT_EQ(ask(Request(KeeperOp::ProfileExists, QStringLiteral("anna"))).status,
              KeeperStatus::Ok);
    EXPECT_EQ(ask(Request(KeeperOp::ProfileExists, QStringLiteral("boris"))).status,
              KeeperStatus::No);
    EXPECT_EQ(ask(Request(KeeperOp::ProfileExists, QStringLiteral("folder"))).status,
              KeeperStatus::No);
}
