#include "platform/errors.h"
#include "platform/sound_player.h"
#include "support/test_env.h"

namespace {

using MediaTest = ZelvoTest;

TEST_F(MediaTest, RecordingPlayerRecordsThenFails)
{
    RecordingSoundPlayer player;
    player.play("sound/BONUS.wav");
    player.failWith = "device busy";
    try {
        player.play("sound/ERROR.wav");
        ADD_FAILURE() << "no MediaError";
    } catch (const MediaError& e) {
        EXPECT_EQ(e.text(), "device busy");
    }
    EXPECT_EQ(player.played, (QStringList{"sound/BONUS.wav", "sound/ERROR.wav"}));
}

TEST_F(MediaTest, UndecodableSoundRaisesTheLibraryText)
{
    writeFile(tempPath("noise.wav"), "RIFF but not really a wave file");
    for (const QString& path : {tempPath("missing.wav"), tempPath("noise.wav")}) {
        AlsaSoundPlayer player;
        try {
            player.play(path);
            ADD_FAILURE() << "no MediaError for " << path.toStdString();
        } catch (const MediaError& e) {
            EXPECT_FALSE(e.text().isEmpty());
        }
    }
}

} // namespace
