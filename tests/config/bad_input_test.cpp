// Start-up with a damaged machine store: the defaults apply, nothing is raised.

#include "config/app_config.h"
#include "support/bad_files.h"
#include "support/memory_ceiling.h"
#include "support/test_env.h"
#include "util/files.h"

namespace {

using BadInputTest = ZelvoTest;

TEST_F(BadInputTest, DamagedStoreLeavesTheDefaults)
{
    MemoryCeiling ceiling(rlim_t(512) << 20);
    for (BadFile kind : kBadFiles) {
        SCOPED_TRACE(BadFileName(kind));
        MakeBadFile(storePath(), kind, 100);
        appConfig().PathUser = ProgramFolder();
        appConfig().Scoring = {9, 9, 9, 9};
        appConfig().NoSound = true;
        EXPECT_NO_THROW(LoadConfig());
        const ScoringSettings& s = appConfig().Scoring;
        EXPECT_EQ(std::make_tuple(s.rightStreakLength, s.wrongStreakLength, s.bonusPoints,
                                  s.penaltyPoints),
                  std::make_tuple(5, 2, 2, 2));
        EXPECT_EQ(appConfig().PathUser, ProgramFolder());
        EXPECT_FALSE(appConfig().NoSound);
    }
}

} // namespace
