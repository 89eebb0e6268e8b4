#include "platform/errors.h"
#include "platform/jpeg_image.h"
#include "platform/sound_player.h"
#include "support/test_env.h"

#include <QBuffer>

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

TEST_F(MediaTest, DecodesJpeg)
{
    QImage picture(16, 8, QImage::Format_RGB888);
    picture.fill(Qt::red);
    for (int y = 0; y < 8; ++y)
        for (int x = 8; x < 16; ++x)
            picture.setPixelColor(x, y, Qt::blue);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(picture.save(&buffer, "JPG", 95));

    QImage decoded = DecodeJpeg(bytes);
    ASSERT_EQ(decoded.size(), QSize(16, 8));
    EXPECT_EQ(decoded.format(), QImage::Format_RGB888);
    EXPECT_GT(decoded.pixelColor(2, 4).red(), 200);
    EXPECT_GT(decoded.pixelColor(13, 4).blue(), 200);

    for (const QByteArray& garbage : {QByteArray(), QByteArray("not a picture at all"),
                                      bytes.left(40), QByteArray(1000, '\xff')})
        EXPECT_TRUE(DecodeJpeg(garbage).isNull()) << garbage.size();
}

} // namespace
