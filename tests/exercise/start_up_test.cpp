// The program's start-up steps: the configuration from the store (or the
// defaults), the range 0-20, the conversion of older tables, and errors that
// are reported while start-up goes on.

#include "config/app_config.h"
#include "exercise/program_state.h"
#include "support/scripted_dialogs.h"
#include "support/test_env.h"
#include "util/files.h"

#include <tuple>

namespace {

class StartUpTest : public ZelvoTest {
  protected:
    ScriptedDialogs dialogs;
};

TEST_F(StartUpTest, MissingStoreGivesDefaultsAndTheProgramFolder)
{
    qputenv("ZELVO_MACHINE_STORE", tempPath("absent/machine.reg").toLocal8Bit());
    StartUp();
    const ScoringSettings& s = appConfig().Scoring;
    EXPECT_EQ(
        std::make_tuple(s.rightStreakLength, s.wrongStreakLength, s.bonusPoints, s.penaltyPoints),
        std::make_tuple(5, 2, 2, 2));
    EXPECT_EQ(appConfig().PathUser, ProgramFolder());
    EXPECT_FALSE(appConfig().NoSound);
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(StartUpTest, StoredValuesAreApplied)
{
    writeStore(QStringLiteral("\"AdmConf\"=\"7|x|3\"\n\"NoSound\"=dword:00000001\n") +
               pathUserLine());
    StartUp();
    const ScoringSettings& s = appConfig().Scoring;
    EXPECT_EQ(
        std::make_tuple(s.rightStreakLength, s.wrongStreakLength, s.bonusPoints, s.penaltyPoints),
        std::make_tuple(7, 2, 3, 2));
    EXPECT_EQ(appConfig().PathUser, userFolder());
    EXPECT_TRUE(appConfig().NoSound);
    EXPECT_TRUE(appConfig().soundOff);
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(StartUpTest, WrongTypedValueIsReportedAndStartUpGoesOn)
{
    writeStore(QStringLiteral("\"AdmConf\"=\"9|1|4|3\"\n") + pathUserLine() +
               QStringLiteral("\"NoSound\"=\"1\"\n"));
    StartUp();
    EXPECT_EQ(dialogs.errors, QStringList{"Invalid data type for 'NoSound'"});
    EXPECT_EQ(appConfig().Scoring.rightStreakLength, 9);
    EXPECT_EQ(appConfig().PathUser, userFolder());
    EXPECT_FALSE(appConfig().NoSound);
    EXPECT_EQ(currentRange().rangeText, "20");
}

TEST_F(StartUpTest, LegacyTablesAreConvertedAtStartUp)
{
    writeStore(pathUserLine());
    writeFile(userFolder() + "20record.conf", QByteArray(776, '\0'));
    writeFile(userFolder() + "9record.conf", QByteArray());
    StartUp();
    EXPECT_EQ(readFile(userFolder() + "20record.config").size(), 780);
    EXPECT_TRUE(FileExists(userFolder() + "9record.config"));
    EXPECT_FALSE(FileExists(userFolder() + "20record.conf"));
    EXPECT_FALSE(FileExists(userFolder() + "9record.conf"));
}

} // namespace
