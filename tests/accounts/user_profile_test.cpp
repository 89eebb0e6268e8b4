#include "accounts/user_profile.h"

#include "accounts_test_env.h"
#include "config/app_config.h"
#include "platform/errors.h"
#include "util/cp1251.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <cstdio>
#include <sys/stat.h>

namespace {

using ProfileTest = AccountsTest;

UserProfile Profile(const QString& digest, const QString& name, qint32 time, qint32 points)
{
    UserProfile profile;
    profile.digestText = digest;
    profile.fullName = name;
    profile.totalTime = time;
    profile.totalPoints = points;
    return profile;
}

qint32 Int32At(const QByteArray& bytes, int offset)
{
    return qFromLittleEndian<qint32>(bytes.constData() + offset);
}

// A record whose insignificant bytes (after each string, the reserved bytes)
// are all 0xAA.
QByteArray RecordWithNoise(const QByteArray& digest, const QByteArray& name, qint32 time,
                           qint32 points)
{
    QByteArray bytes(kUserProfileSize, char(0xAA));
    bytes[0] = char(digest.size());
    bytes.replace(1, digest.size(), digest);
    bytes[201] = char(name.size());
    bytes.replace(202, name.size(), name);
    qToLittleEndian<qint32>(time, bytes.data() + 460);
    qToLittleEndian<qint32>(points, bytes.data() + 464);
    return bytes;
}

TEST_F(ProfileTest, WritesTheFieldsAtTheirOffsets)
{
    ASSERT_TRUE(WriteProfile("vasya", Profile("-123", "Иван Петров", 3600, -5)));

    const QByteArray bytes = readFile(profileFile("vasya"));
    ASSERT_EQ(bytes.size(), kUserProfileSize);
    QByteArray expected(kUserProfileSize, '\0');
    expected[0] = 4;
    expected.replace(1, 4, "-123");
    expected[201] = 11;
    expected.replace(202, 11, ToCp1251("Иван Петров"));
    qToLittleEndian<qint32>(3600, expected.data() + 460);
    qToLittleEndian<qint32>(-5, expected.data() + 464);
    EXPECT_EQ(bytes.toHex(), expected.toHex());
}

TEST_F(ProfileTest, ReadsBackWhatWasWritten)
{
    const QString name255(255, QChar(0x0416)); // Ж
    const struct {
        UserProfile written;
        QString nameRead;
    } cases[] = {
        {Profile("", "", 0, 0), ""},
        {Profile("1-2-3-4", "Пётр", 1, 2), "Пётр"},
        {Profile("d", name255, INT_MAX, INT_MIN), name255},
        {Profile("d", name255 + "X", -1, 0), name255},
        {Profile("d", QString(300, 'n'), 0, -1), QString(255, 'n')},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(WriteProfile("user", c.written));
        EXPECT_EQ(readFile(profileFile("user")).size(), kUserProfileSize);
        UserProfile read;
        ASSERT_TRUE(ReadProfile("user", read));
        EXPECT_EQ(read.digestText, c.written.digestText);
        EXPECT_EQ(read.fullName, c.nameRead);
        EXPECT_EQ(read.totalTime, c.written.totalTime);
        EXPECT_EQ(read.totalPoints, c.written.totalPoints);
    }
}

TEST_F(ProfileTest, InsignificantBytesAreIgnoredAndKept)
{
    const QByteArray original = RecordWithNoise("42", ToCp1251("Ёлкин"), 70, 8);
    writeFile(profileFile("old"), original);

    UserProfile profile;
    ASSERT_TRUE(ReadProfile("old", profile));
    EXPECT_EQ(profile.digestText, "42");
    EXPECT_EQ(profile.fullName, "Ёлкин");
    EXPECT_EQ(profile.totalTime, 70);
    EXPECT_EQ(profile.totalPoints, 8);

    ASSERT_TRUE(WriteProfile("old", profile));
    EXPECT_EQ(readFile(profileFile("old")), original);

    // Only the changed field's bytes differ.
    profile.totalPoints = 9;
    ASSERT_TRUE(WriteProfile("old", profile));
    QByteArray expected = original;
    qToLittleEndian<qint32>(9, expected.data() + 464);
    EXPECT_EQ(readFile(profileFile("old")).toHex(), expected.toHex());

    profile.digestText = "7";
    ASSERT_TRUE(WriteProfile("old", profile));
    const QByteArray rewritten = readFile(profileFile("old"));
    EXPECT_EQ(rewritten.mid(0, 3), QByteArray("\x01"
                                              "7\0",
                                              3));
    EXPECT_EQ(rewritten.mid(201), expected.mid(201));
}

TEST_F(ProfileTest, FileSizes)
{
    const QByteArray record = RecordWithNoise("9", "Name", 1, 2);
    for (int size : {0, 1, 467}) {
        writeFile(profileFile("short"), record.left(size));
        UserProfile profile = Profile("keep", "keep", 5, 6);
        try {
            ReadProfile("short", profile);
            ADD_FAILURE() << "size " << size << " was read";
        } catch (const IoError& e) {
            EXPECT_EQ(e.text(), "Read beyond end of file");
        }
        EXPECT_EQ(profile.digestText, "keep");
    }

    // A longer file is read from its first record and cut by the next write.
    writeFile(profileFile("long"), record + QByteArray(100, 'x'));
    UserProfile profile;
    ASSERT_TRUE(ReadProfile("long", profile));
    EXPECT_EQ(profile.fullName, "Name");
    ASSERT_TRUE(WriteProfile("long", profile));
    EXPECT_EQ(readFile(profileFile("long")), record);
}

TEST_F(ProfileTest, MissingOrUnusableFiles)
{
    QDir().mkpath(profileFile("folder"));
    writeFile(tempPath("outside.zamrik"), RecordWithNoise("1", "x", 0, 0));
    QDir().mkpath(userFolder() + "sub");
    writeFile(userFolder() + "sub/inner.zamrik", RecordWithNoise("1", "x", 0, 0));

    const struct {
        QString nick;
        bool creatable;
    } cases[] = {{"missing", true},
                 {"folder", false},
                 {"../outside", false},
                 {"sub/inner", false},
                 {"/x", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.nick.toStdString());
        EXPECT_FALSE(ProfileExists(c.nick));
        UserProfile profile = Profile("keep", "", 0, 0);
        EXPECT_FALSE(ReadProfile(c.nick, profile));
        EXPECT_EQ(profile.digestText, "keep");
        EXPECT_EQ(WriteProfile(c.nick, Profile("new", "", 0, 0)), c.creatable);
    }
    EXPECT_TRUE(QFileInfo(profileFile("folder")).isDir());
    EXPECT_EQ(readFile(tempPath("outside.zamrik")), RecordWithNoise("1", "x", 0, 0));
    EXPECT_EQ(readFile(userFolder() + "sub/inner.zamrik"), RecordWithNoise("1", "x", 0, 0));
}

TEST_F(ProfileTest, FailedWriteKeepsTheOldFile)
{
    const QByteArray old = RecordWithNoise("1", "old", 3, 4);
    writeFile(profileFile("vasya"), old);
    {
        FileSizeLimit limit(100);
        EXPECT_THROW(WriteProfile("vasya", Profile("2", "new", 0, 0)), IoError);
    }
    EXPECT_EQ(readFile(profileFile("vasya")), old);
    EXPECT_EQ(QDir(userFolder()).entryList(QDir::Files | QDir::Hidden),
              QStringList({".zelvo.lock", "vasya.zamrik"}));

    // A user folder beneath a regular file cannot hold a profile.
    writeFile(tempPath("plain"), "x");
    appConfig().PathUser = tempPath("plain/users/");
    EXPECT_FALSE(WriteProfile("vasya", Profile("2", "new", 0, 0)));
}

TEST_F(ProfileTest, ProfileFileNamesUpTo255BytesAreCreated)
{
    for (int nameLength = 249; nameLength <= 256; ++nameLength) {
        SCOPED_TRACE(nameLength);
        const QString nick(nameLength - 7, QLatin1Char('k')); // 7: ".zamrik"
        const UserProfile profile = Profile("5", "Вася", 10, 20);
        if (nameLength > 255) {
            EXPECT_FALSE(WriteProfile(nick, profile));
            continue;
        }
        ASSERT_TRUE(WriteProfile(nick, profile));
        ASSERT_TRUE(WriteProfile(nick, profile)); // replacing it too
        UserProfile back;
        ASSERT_TRUE(ReadProfile(nick, back));
        EXPECT_EQ(back.totalPoints, 20);
        EXPECT_EQ(ListProfiles(), QStringList{nick});
        QFile::remove(ProfilePath(nick));
    }
}

TEST_F(ProfileTest, ListsTheProfilesOfTheUserFolder)
{
    for (const QString name :
         {"a.zamrik", "Борис.zamrik", "notes.txt", "zamrik", ".zelvo.lock", ".zelvo-77-abcdef.tmp"})
        writeFile(userFolder() + name, "");
    QDir().mkpath(userFolder() + "dir.zamrik");
    QDir().mkpath(userFolder() + "sub");
    writeFile(userFolder() + "sub/deep.zamrik", "");

    QStringList nicks = ListProfiles();
    nicks.sort();
    EXPECT_EQ(nicks, QStringList({"a", "Борис"}));

    appConfig().PathUser = tempPath("none/");
    EXPECT_TRUE(ListProfiles().isEmpty());
}

TEST_F(ProfileTest, ListsOnlyTheNicksWhoseProfileOpens)
{
    // Each file name alone in the user folder, and the nick it lists (if any).
    const struct {
        QByteArray fileName;
        const char* nick;
    } cases[] = {
        {"Bob.zamrik", "Bob"},        {"Bob.ZAMRIK", nullptr},
        {"Bob.Zamrik", nullptr},      {".zamrik", nullptr}, // no nick
        {"a.b.zamrik", "a.b"},        {"ADM.zamrik", "ADM"},
        {"Bob.zamrik.txt", nullptr},  {"\xd0\x9e\xd0\xbb\xd1\x8f.zamrik", "Оля"},
        {"\xff\xfe.zamrik", nullptr}, // not valid UTF-8: no QString path reaches it
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fileName.toStdString());
        QDir(userFolder()).removeRecursively();
        QDir().mkpath(userFolder());
        // Created through the raw bytes of the name.
        const QByteArray raw = QFile::encodeName(userFolder()) + c.fileName;
        FILE* f = std::fopen(raw.constData(), "wb");
        ASSERT_NE(f, nullptr);
        std::fclose(f);

        const QStringList nicks = ListProfiles();
        EXPECT_EQ(nicks, c.nick ? QStringList{QString::fromUtf8(c.nick)} : QStringList());
        for (const QString& nick : nicks)
            EXPECT_TRUE(ProfileExists(nick));
    }

    // Beside its exact twin a capitalised copy adds nothing.
    writeFile(userFolder() + "Bob.zamrik", "");
    writeFile(userFolder() + "Bob.ZAMRIK", "");
    EXPECT_EQ(ListProfiles(), QStringList{"Bob"});
}

// A link in a profile's place (another account's doing) is never followed:
// it is not listed, reading it fails as an unopenable profile, and writing it
// as a profile that cannot be created; the linked file and the link stay.
TEST_F(ProfileTest, ALinkInAProfilesPlaceIsNeverFollowed)
{
    const QByteArray victimBytes = RecordWithNoise("V", "victim", 7, 8);
    writeFile(tempPath("victim"), victimBytes);
    ASSERT_TRUE(QFile::link(tempPath("victim"), profileFile("linked")));
    ASSERT_TRUE(QFile::link(tempPath("none"), profileFile("dangling")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(profileFile("pipe")).constData(), 0666), 0);
    ASSERT_TRUE(WriteProfile("real", Profile("1", "Real", 1, 2)));

    EXPECT_EQ(ListProfiles(), QStringList{"real"});
    for (const char* nick : {"linked", "dangling", "pipe"}) {
        SCOPED_TRACE(nick);
        EXPECT_TRUE(ProfileExists(nick)); // there, so the login reports it as unreadable
        UserProfile profile = Profile("keep", "", 0, 0);
        EXPECT_FALSE(ReadProfile(nick, profile));
        EXPECT_EQ(profile.digestText, "keep");
        EXPECT_FALSE(WriteProfile(nick, Profile("new", "", 0, 0)));
    }
    EXPECT_EQ(readFile(tempPath("victim")), victimBytes);
    EXPECT_FALSE(QFileInfo::exists(tempPath("none")));
    EXPECT_TRUE(QFileInfo(profileFile("linked")).isSymLink());
    EXPECT_TRUE(QFileInfo(profileFile("dangling")).isSymLink());
}

// Creating a new user's profile never replaces what lies at its name: a
// profile, a link (followed or dangling), a pipe there count as an existing
// profile, a folder or a nick that names no file as one that cannot be made;
// in each case nothing is written anywhere and no temporary file stays.
TEST_F(ProfileTest, CreateProfileMakesOnlyAProfileThatDoesNotExist)
{
    const QByteArray victimBytes = RecordWithNoise("V", "victim", 7, 8);
    writeFile(tempPath("victim"), victimBytes);
    const QByteArray existing = RecordWithNoise("1", "old", 3, 4);
    writeFile(profileFile("taken"), existing);
    ASSERT_TRUE(QFile::link(tempPath("victim"), profileFile("linked")));
    ASSERT_TRUE(QFile::link(tempPath("none"), profileFile("dangling")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(profileFile("pipe")).constData(), 0666), 0);
    ASSERT_TRUE(QDir().mkpath(profileFile("folder")));
    // Sorted by name, without the folder's lock file.
    const auto entries = [this] {
        QStringList names =
            QDir(userFolder())
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        names.removeAll(".zelvo.lock");
        names.sort();
        return names;
    };

    const struct {
        const char* nick;
        CreateOutcome outcome;
    } cases[] = {
        {"taken", CreateOutcome::Exists},      {"linked", CreateOutcome::Exists},
        {"dangling", CreateOutcome::Exists},   {"pipe", CreateOutcome::Exists},
        {"folder", CreateOutcome::NotCreated}, {"../victim", CreateOutcome::NotCreated},
        {"", CreateOutcome::NotCreated},       {"new", CreateOutcome::Done},
        {"new", CreateOutcome::Exists}, // the second time
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.nick);
        QStringList expected = entries();
        if (c.outcome == CreateOutcome::Done)
            expected << "new.zamrik";
        expected.sort();
        EXPECT_EQ(CreateProfile(userFolder(), c.nick, Profile("2", "Новый", 5, 6)), c.outcome);
        EXPECT_EQ(entries(), expected);
    }
    UserProfile back;
    ASSERT_TRUE(ReadProfile("new", back));
    EXPECT_EQ(back.fullName, "Новый");
    EXPECT_EQ(back.totalPoints, 6);
    EXPECT_EQ(readFile(profileFile("new")).size(), kUserProfileSize);
    EXPECT_EQ(readFile(profileFile("taken")), existing);
    EXPECT_EQ(readFile(tempPath("victim")), victimBytes);
    EXPECT_FALSE(QFileInfo::exists(tempPath("none")));
    EXPECT_TRUE(QFileInfo(profileFile("linked")).isSymLink());
    EXPECT_TRUE(QFileInfo(profileFile("dangling")).isSymLink());
    EXPECT_TRUE(QFileInfo(profileFile("folder")).isDir());
}

// The forms that name the folder write there alone.
TEST_F(ProfileTest, WriteProfileToANamedFolder)
{
    const QString other = tempPath("class") + "/";
    ASSERT_TRUE(QDir().mkpath(other));
    ASSERT_TRUE(WriteProfile(other, "anna", Profile("1", "Анна", 1, 2)));
    ASSERT_TRUE(WriteProfile(other, "anna", Profile("1", "Анна", 3, 4)));
    UserProfile back;
    ASSERT_TRUE(ReadProfile(other, "anna", back, OpenFor::Reading));
    EXPECT_EQ(back.totalPoints, 4);
    EXPECT_FALSE(ProfileExists("anna"));
    EXPECT_FALSE(WriteProfile(other, "a/b", Profile("1", "", 0, 0)));
}

// A sparse profile (its length set beyond what was written, the rest never
// stored) is read as one that cannot be opened, whichever way it is opened:
// nothing of it reaches the caller, and the file stays as it was.
TEST_F(ProfileTest, SparseProfilesAreNotRead)
{
    const QByteArray record = RecordWithNoise("1", "Anna", 7, 8);
    const struct {
        const char* nick;
        QByteArray written;
        qint64 length;
    } cases[] = {
        {"holed", record, qint64(1) << 20},
        {"unwritten", "", kUserProfileSize},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.nick);
        writeFile(profileFile(c.nick), c.written);
        ASSERT_TRUE(QFile::resize(profileFile(c.nick), c.length));
        EXPECT_TRUE(ProfileExists(c.nick));
        for (OpenFor mode : {OpenFor::ReadWrite, OpenFor::Reading}) {
            UserProfile profile = Profile("keep", "", 0, 0);
            EXPECT_FALSE(ReadProfile(userFolder(), c.nick, profile, mode));
            EXPECT_EQ(profile.digestText, "keep");
            EXPECT_TRUE(profile.storedBytes.isEmpty());
        }
        EXPECT_EQ(QFileInfo(profileFile(c.nick)).size(), c.length);
        EXPECT_EQ(readFile(profileFile(c.nick)).left(c.written.size()), c.written);
    }
}

} // namespace
