#include "platform/paths.h"

#include <gtest/gtest.h>

namespace {

TEST(FolderTexts, TrailingSeparators)
{
    const struct {
        const char* in;
        const char* stripped;
        const char* withOne;
    } cases[] = {
        {"", "", ""},
        {"/", "", "/"},
        {"//", "", "/"},
        {"/data", "/data", "/data/"},
        {"/data/", "/data", "/data/"},
        {"/data///", "/data", "/data/"},
        {"a/b", "a/b", "a/b/"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StripTrailingSeparators(c.in), QString(c.stripped)) << c.in;
        EXPECT_EQ(WithTrailingSeparator(c.in), QString(c.withOne)) << c.in;
    }
}

} // namespace
