#include "util/text.h"

#include <gtest/gtest.h>

namespace {

struct FieldCase {
    const char* text;
    char separator;
    int n;
    const char* tail;
    const char* field;
};

TEST(TextFields, TailAndFieldByNumber)
{
    const FieldCase cases[] = {
        {"5|2|2|2", '|', 1, "5|2|2|2", "5"},
        {"5|2|2|2", '|', 4, "2", "2"},
        {"5|2|2|2", '|', 5, "", ""},
        {"5|2|2|2", '|', 0, "", ""},
        {"5|2|2|2", '|', -1, "", ""},
        {"a||b", '|', 2, "|b", ""},
        {"a||b", '|', 3, "b", "b"},
        {"a|", '|', 1, "a|", "a"},
        {"a|", '|', 2, "", ""},
        {"|", '|', 1, "|", ""},
        {"|", '|', 2, "", ""},
        {"x", '|', 1, "x", "x"},
        {"x", '|', 2, "", ""},
        {"a|bc|d", '|', 2, "bc|d", "bc"},
        {"a|bc|d", '|', 3, "d", "d"},
        {"", '|', 1, "", ""},
        {"abc (def)", '(', 1, "abc (def)", "abc "},
        {"abc (def)", '(', 2, "def)", "def)"},
    };
    for (const FieldCase& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " n=" + std::to_string(c.n));
        const QString text = QString::fromUtf8(c.text);
        const QChar sep = QLatin1Char(c.separator);
        EXPECT_EQ(FieldTail(c.n, text, sep), QString::fromUtf8(c.tail));
        EXPECT_EQ(Field(c.n, text, sep), QString::fromUtf8(c.field));
        if (c.separator == '|') {
            EXPECT_EQ(BarField(c.n, text), QString::fromUtf8(c.field));
        }
    }
}

TEST(TextUpper, OnlyLatinAndRussianSmallLetters)
{
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"abcxyz", "ABCXYZ"},
        {"абвэюя", "АБВЭЮЯ"},
        {"ABC АБЯ 0123 .,;|-", "ABC АБЯ 0123 .,;|-"},
        {"ёЁ", "ёЁ"},
        {"éßäü№", "éßäü№"},
        {"Пароль12x", "ПАРОЛЬ12X"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(UpperText(QString::fromUtf8(c.in)), QString::fromUtf8(c.out)) << c.in;
}

TEST(TextTrim, ControlCharactersAndBlanksAtBothEnds)
{
    const struct {
        QString in;
        QString out;
    } cases[] = {
        {QStringLiteral("\tinner text  "), QStringLiteral("inner text")},
        {QString(), QString()},
        {QStringLiteral(" \t\r\n "), QString()},
        {QString(QChar(0)) + "a" + QChar(0x1F), QStringLiteral("a")},
        {QStringLiteral("a \t b"), QStringLiteral("a \t b")},
        // A no-break space is not a control character of the code page.
        {QString(QChar(0xA0)) + "a", QString(QChar(0xA0)) + "a"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TrimText(c.in), c.out) << c.in.toStdString();
}

// The exercise clock and the statistics' total time alike.
TEST(TextDuration, HoursMinutesSeconds)
{
    const std::pair<qint64, const char*> cases[] = {
        {0, "0:00:00"},        {1, "0:00:01"},
        {65, "0:01:05"},       {600, "0:10:00"},
        {3599, "0:59:59"},     {3600, "1:00:00"},
        {3725, "1:02:05"},     {36000, "10:00:00"},
        {360000, "100:00:00"}, {2147483647, "596523:14:07"},
        {-5, "-0:00:05"}};
    for (const auto& [seconds, text] : cases)
        EXPECT_EQ(DurationText(seconds), text) << seconds;
}

} // namespace
