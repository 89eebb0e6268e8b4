// The About picture's decoder: a picture decodes to its pixels; damaged bytes
// decode to nothing, never a crash or an allocation sized by the file.

#include "support/bad_files.h"
#include "support/memory_ceiling.h"
#include "ui/jpeg_image.h"

#include <QBuffer>
#include <QImage>
#include <gtest/gtest.h>

namespace {

constexpr rlim_t kHeadroom = rlim_t(512) << 20;

TEST(JpegImageTest, DecodesJpeg)
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

// A baseline JPEG of the given size with its frame header's dimensions
// replaced by `claimedWidth` x `claimedHeight`.
QByteArray JpegClaiming(int claimedWidth, int claimedHeight)
{
    QImage picture(8, 8, QImage::Format_RGB888);
    picture.fill(Qt::green);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "JPG");
    const int frame = bytes.indexOf("\xFF\xC0");
    if (frame < 0)
        return QByteArray();
    bytes[frame + 5] = char(claimedHeight >> 8);
    bytes[frame + 6] = char(claimedHeight);
    bytes[frame + 7] = char(claimedWidth >> 8);
    bytes[frame + 8] = char(claimedWidth);
    return bytes;
}

TEST(JpegImageTest, DamagedPictureDecodesToNothing)
{
    const QByteArray valid = JpegClaiming(8, 8);
    ASSERT_EQ(DecodeJpeg(valid).size(), QSize(8, 8));
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"empty", QByteArray()},
        {"short", valid.left(1)},
        {"header only", valid.left(valid.indexOf("\xFF\xDA"))},
        {"random bytes", RandomBytes(3000)},
        {"random bytes after the start marker", valid.left(2) + RandomBytes(3000)},
        {"claims 65535 x 65535 pixels", JpegClaiming(65535, 65535)},
        {"claims 0 x 8 pixels", JpegClaiming(0, 8)},
    };
    MemoryCeiling ceiling(kHeadroom);
    for (const auto& c : cases)
        EXPECT_TRUE(DecodeJpeg(c.bytes).isNull()) << c.name;
}

} // namespace
