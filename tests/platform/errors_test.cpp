#include "platform/errors.h"
#include "platform/handler_guard.h"
#include "support/scripted_dialogs.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace {

TEST(ErrorsTest, IoErrorTexts)
{
    const struct {
        int code;
        const char* text;
    } cases[] = {
        {2, "File not found"},     {3, "Invalid filename"},          {4, "Too many open files"},
        {5, "File access denied"}, {100, "Read beyond end of file"}, {101, "Disk full"},
        {103, "I/O error 103"},    {1117, "I/O error 1117"}};
    for (const auto& c : cases) {
        EXPECT_EQ(IoErrorText(c.code), c.text);
        EXPECT_EQ(IoError(c.code).text(), c.text);
    }
}

TEST(ErrorsTest, ErrnoCodes)
{
    const int cases[][2] = {{ENOENT, kIoFileNotFound},     {ENOTDIR, kIoInvalidFilename},
                            {EMFILE, kIoTooManyOpenFiles}, {EACCES, kIoAccessDenied},
                            {EISDIR, kIoAccessDenied},     {ENOSPC, kIoDiskFull}};
    for (const auto& c : cases)
        EXPECT_EQ(IoCodeFromErrno(c[0]), c[1]) << c[0];
}

TEST(ErrorsTest, RunHandlerReportsTravellingErrors)
{
    ScriptedDialogs d;
    bool after = false;
    RunHandler([&] {
        throw IoError(kIoReadBeyondEnd);
        after = true;
    });
    RunHandler([] { throw StoreError("Invalid data type for 'NoSound'"); });
    RunHandler([] { throw MediaError("Нет устройства"); });
    RunHandler([] {});
    EXPECT_FALSE(after);
    EXPECT_EQ(d.errors, (QStringList{"Read beyond end of file", "Invalid data type for 'NoSound'",
                                     "Нет устройства"}));
}

} // namespace
