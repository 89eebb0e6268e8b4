// Reading the configuration store at start-up.

#include "config/app_config.h"
#include "platform/errors.h"
#include "support/test_env.h"

namespace {

using ConfigTest = ZelvoTest;

struct AdmConfCase {
    const char* stored;
    qint32 right, wrong, bonus, penalty;
};

TEST_F(ConfigTest, AdmConfFieldsParseOneByOne)
{
    const AdmConfCase cases[] = {
        {"5|2|2|2", 5, 2, 2, 2},
        {"7|x|3", 7, 2, 3, 2},
        {"-4|0|0|500", -4, 0, 0, 500},
        {"", 5, 2, 2, 2},
        {"$10| 3|+1|0x0A", 16, 3, 1, 10},
        {"1 |2|3|4", 5, 2, 3, 4},
        {"|||", 5, 2, 2, 2},
        // Hexadecimal fields outside the signed range are no numbers either.
        {"$FFFFFFFF|$80000000|-$80000000|$7FFFFFFF", 5, 2, -2147483647 - 1, 2147483647},
    };
    for (const AdmConfCase& c : cases) {
        writeStore(QStringLiteral("\"AdmConf\"=\"%1\"\n").arg(c.stored));
        LoadConfig();
        const ScoringSettings& s = appConfig().Scoring;
        EXPECT_EQ(std::make_tuple(s.rightStreakLength, s.wrongStreakLength, s.bonusPoints,
                                  s.penaltyPoints),
                  std::make_tuple(c.right, c.wrong, c.bonus, c.penalty))
            << c.stored;
    }
}

TEST_F(ConfigTest, PathUserGetsExactlyOneTrailingSeparator)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/srv/zelvo", "/srv/zelvo/"}, {"/srv/zelvo///", "/srv/zelvo/"}, {"", ""}};
    for (const auto& [stored, expected] : cases) {
        writeStore(QStringLiteral("\"PathUser\"=\"%1\"\n").arg(stored));
        appConfig().PathUser = "/before/";
        LoadConfig();
        EXPECT_EQ(appConfig().PathUser, expected) << stored;
    }
}

TEST_F(ConfigTest, NoSoundReadsAnyNonZeroNumberAsTrue)
{
    for (const auto& [stored, expected] :
         {std::pair{"00000000", false}, {"00000001", true}, {"ffffffff", true}}) {
        writeStore(QStringLiteral("\"NoSound\"=dword:%1\n").arg(stored));
        LoadConfig();
        EXPECT_EQ(appConfig().NoSound, expected) << stored;
        if (expected) {
            EXPECT_TRUE(appConfig().soundOff);
        }
    }
}

TEST_F(ConfigTest, WrongTypeStopsWithItsMessageAndKeepsEarlierValues)
{
    writeStore(QStringLiteral("\"AdmConf\"=dword:00000005\n"));
    try {
        LoadConfig();
        FAIL() << "no error";
    } catch (const StoreError& e) {
        EXPECT_EQ(e.text(), "Invalid data type for 'AdmConf'");
    }
    EXPECT_EQ(appConfig().Scoring.rightStreakLength, 5);
}

} // namespace
