#include "util/cp1251.h"

#include <gtest/gtest.h>

namespace {

TEST(Cp1251, EveryByteSurvivesDecodingAndEncoding)
{
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all.append(char(i));
    const QString text = FromCp1251(all);
    EXPECT_EQ(text.size(), 256);
    EXPECT_EQ(ToCp1251(text), all);
    EXPECT_EQ(ToCp1251(QString::fromUtf8("a日")), QByteArray("a\x1A"));
    EXPECT_EQ(ToCp1251(QString::fromUtf8("Ёлка№")), QByteArray("\xA8\xEB\xEA\xE0\xB9"));
}

TEST(Cp1251, TextsThatTheCodePageHolds)
{
    const struct {
        const char* text;
        bool holds;
    } cases[] = {
        {"", true}, {"Ivan Петров-ёЁ №1 «»", true}, {"日本", false}, {"Zoë", false}, {"a😀", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsCp1251Text(QString::fromUtf8(c.text)), c.holds) << c.text;
}

TEST(ShortString, EncodedCutToCapacityAndDecodedBack)
{
    const struct {
        QString text;
        int capacity;
        QString stored;
    } cases[] = {
        {QString(255, QLatin1Char('a')), 255, QString(255, QLatin1Char('a'))},
        {QString(256, QLatin1Char('b')), 255, QString(255, QLatin1Char('b'))},
        {QString::fromUtf8("Иван Петров"), 255, QString::fromUtf8("Иван Петров")},
        {QString::fromUtf8("Щука"), 2, QString::fromUtf8("Щу")},
        {QString(), 200, QString()},
    };
    for (const auto& c : cases) {
        const QByteArray field = EncodeShortString(c.text, c.capacity);
        ASSERT_EQ(field.size(), c.capacity + 1);
        EXPECT_EQ(quint8(field[0]), c.stored.size());
        EXPECT_EQ(field.mid(1 + c.stored.size()), QByteArray(c.capacity - c.stored.size(), '\0'));
        EXPECT_EQ(DecodeShortString(field.constData(), c.capacity), c.stored);
    }
}

TEST(ShortString, LengthByteAboveCapacityIsClamped)
{
    QByteArray field(11, 'z');
    field[0] = char(250);
    EXPECT_EQ(DecodeShortString(field.constData(), 10), QString(10, QLatin1Char('z')));
    field[0] = char(3);
    field[1] = char(0xC0);
    EXPECT_EQ(DecodeShortString(field.constData(), 10), QString::fromUtf8("Аzz"));
}

TEST(Int32LE, LittleEndianBytes)
{
    const struct {
        qint32 value;
        QByteArray bytes;
    } cases[] = {
        {1, QByteArray("\x01\x00\x00\x00", 4)},
        {-2, QByteArray("\xFE\xFF\xFF\xFF", 4)},
        {0x12345678, QByteArray("\x78\x56\x34\x12", 4)},
        {-2147483647 - 1, QByteArray("\x00\x00\x00\x80", 4)},
    };
    for (const auto& c : cases) {
        char buffer[4];
        WriteInt32LE(buffer, c.value);
        EXPECT_EQ(QByteArray(buffer, 4), c.bytes);
        EXPECT_EQ(ReadInt32LE(c.bytes.constData()), c.value);
    }
}

} // namespace
