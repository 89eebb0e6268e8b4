// Damaged stored bytes met by the platform's readers (the machine store and the
// sound files): the specified error or tolerance, never a
// crash, a hang or an allocation sized by the file.

#include "platform/config_store.h"
#include "platform/errors.h"
#include "platform/sound_player.h"
#include "support/bad_files.h"
#include "support/memory_ceiling.h"
#include "support/test_env.h"

#include <QFileInfo>

namespace {

using BadInputTest = ZelvoTest;

constexpr rlim_t kHeadroom = rlim_t(512) << 20;
const QString kDorvo = QStringLiteral("Software\\Brenk\\Dorvo");

TEST_F(BadInputTest, MachineStoreReadsAsNoValuesAndIsKeptWhenItCannotBeLoaded)
{
    const struct {
        BadFile kind;
        bool writable; // full access: the key can be created and written
    } cases[] = {
        {BadFile::Empty, true},
        {BadFile::Short, true},
        {BadFile::OddSize, true},
        {BadFile::RandomBytes, true},
        // Not a store of ours: never loaded, never replaced.
        {BadFile::Huge, false},
        {BadFile::Folder, false},
        // Never waited on: the program starts.
        {BadFile::Pipe, false},
    };
    MemoryCeiling ceiling(kHeadroom);
    for (const auto& c : cases) {
        SCOPED_TRACE(BadFileName(c.kind));
        MakeBadFile(storePath(), c.kind, 100);
        const qint64 size = QFileInfo(storePath()).size();

        const StoreKey key = StoreKey::openRead(kDorvo);
        for (const char* name : {"AdmConf", "PathUser", "NoSound", ""}) {
            EXPECT_FALSE(key.hasValue(name)) << name;
            EXPECT_EQ(key.readString(name), std::nullopt) << name;
            EXPECT_EQ(key.readNumber(name), std::nullopt) << name;
        }

        std::optional<StoreKey> full = StoreKey::openFull(kDorvo, true);
        ASSERT_EQ(full.has_value(), c.writable);
        if (full) {
            full->writeString("AdmConf", "7|1|3|4");
            EXPECT_EQ(StoreKey::openRead(kDorvo).readString("AdmConf"), "7|1|3|4");
        } else {
            EXPECT_EQ(QFileInfo(storePath()).size(), size);
            EXPECT_EQ(QFileInfo(storePath()).isDir(), c.kind == BadFile::Folder);
            EXPECT_EQ(QFileInfo(storePath()).isFile(), c.kind == BadFile::Huge);
        }
    }
}

TEST_F(BadInputTest, StoreNearItsSizeLimitIsNotRewrittenBeyondIt)
{
    // Rewriting puts a blank line before every section; a store that would
    // then grow past what is ever loaded keeps its old content instead.
    QByteArray bytes =
        "REGEDIT4\n[HKEY_LOCAL_MACHINE\\Software\\Brenk\\Dorvo]\n\"AdmConf\"=\"1|1|1|1\"\n";
    const QByteArray section =
        "[HKEY_LOCAL_MACHINE\\Software\\Other\\" + QByteArray(60, 'k') + "]\n";
    const int limit = 1024 * 1024;
    while (bytes.size() + section.size() <= limit - 8)
        bytes += section;
    writeFile(storePath(), bytes);

    std::optional<StoreKey> key = StoreKey::openFull(kDorvo, false);
    ASSERT_TRUE(key.has_value());
    try {
        key->writeString("AdmConf", "7|1|3|4");
        ADD_FAILURE() << "written";
    } catch (const StoreError& e) {
        EXPECT_EQ(e.text().toStdString(), "Failed to set data for 'AdmConf'");
    }
    EXPECT_EQ(readFile(storePath()), bytes);
    EXPECT_EQ(StoreKey::openRead(kDorvo).readString("AdmConf"), "1|1|1|1");
}

TEST_F(BadInputTest, DamagedSoundFileRaisesAMediaError)
{
    // The decoder refuses each before any sound device is asked.
    const QString path = tempPath("BONUS.wav");
    MemoryCeiling ceiling(kHeadroom);
    for (BadFile kind : kBadFiles) {
        SCOPED_TRACE(BadFileName(kind));
        MakeBadFile(path, kind, 44);
        AlsaSoundPlayer player;
        try {
            player.play(path);
            ADD_FAILURE() << "played";
        } catch (const MediaError& e) {
            EXPECT_FALSE(e.text().isEmpty());
        }
    }
}

} // namespace
