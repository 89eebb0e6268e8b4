// The export through the class folder's keeper (the built zelvo-keeper), as
// an account that may not list the folder reads it: the same CSV, report and
// messages as the direct read of the same folder; and ADM's password as the
// export reads it from standard input.

#include "export/class_export.h"
#include "export/class_report.h"
#include "export/password_prompt.h"
#include "export/report_html.h"
#include "export_fixture.h"
#include "keeper/keeper_client.h"

#include <QFile>

#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string Text(const QStringList& lines) { return lines.join('\n').toStdString(); }

class ExportKeeperTest : public ExportTest {
  protected:
    void SetUp() override
    {
        ExportTest::SetUp();
        writeStore(pathUserLine());
        // A class folder: root's, of this process's group, closed to others.
        const QByteArray folder = QFile::encodeName(userFolder());
        if (chown(folder.constData(), 0, getegid()) != 0 || chmod(folder.constData(), 0770) != 0)
            GTEST_SKIP() << "the test's folder cannot be given to root";
        keeper_ = KeeperClient::start(QStringLiteral(ZELVO_KEEPER_PATH));
        ASSERT_TRUE(keeper_);
        ASSERT_TRUE(keeper_->classFolder());
    }

    // Pupils with formula-like and Cyrillic nicks, a damaged profile, tables
    // of several pages of the keeper's answers, one range without a table.
    void writeClass()
    {
        WriteUser("anna", "Анна Петрова", 600, 150);
        WriteUser("=bob", "@Борис", 60, 7);
        WriteUser("Юля", "Юлия", 0, 0);
        writeFile(userFolder() + "short.zamrik", QByteArray(467, '\0'));
        std::vector<ResultRecord> long20;
        for (int i = 0; i < 150; ++i)
            long20.push_back(Result(i % 3 ? "anna" : "=bob", i % 3 ? "Анна Петрова" : "@Борис",
                                    100 + i, 10 + i % 7,
                                    QString("%1-09-2026 10:%2:00")
                                        .arg(1 + i % 28, 2, 10, QChar('0'))
                                        .arg(i % 60, 2, 10, QChar('0')),
                                    i % 4));
        WriteTable("20", long20);
        WriteTable("9", {Result("Юля", "Юлия", 300, 12, "03-09-2026 08:00:00", 1),
                         Result("ghost", "+Без профиля", 250, 9, "undated", 0)});
        WriteTable("99", {Result("anna", "Анна Петрова", 900, 30, "04-10-2026 11:00:00", 5)});
    }

    std::unique_ptr<KeeperClient> keeper_;
};

TEST_F(ExportKeeperTest, TheKeepersReadGivesTheDirectReadsBytes)
{
    writeClass();
    ASSERT_EQ(keeper_->logInAdmin(""), AdminLogInOutcome::Done); // no ADM password stored yet

    const struct {
        const char* what;
        std::function<ExportResult(ClassFolderAccess*)> run;
    } exports[] = {
        {"summary", [&](auto k) { return ExportSummary(userFolder(), ';', {}, k); }},
        {"summary raw ,",
         [&](auto k) { return ExportSummary(userFolder(), ',', TextFields::Raw, k); }},
        {"records 20", [&](auto k) { return ExportRecords(userFolder(), "20", ';', {}, k); }},
        {"records 9", [&](auto k) { return ExportRecords(userFolder(), "9", ';', {}, k); }},
        {"records 999 (none)",
         [&](auto k) { return ExportRecords(userFolder(), "999", ';', {}, k); }},
    };
    for (const auto& e : exports) {
        SCOPED_TRACE(e.what);
        const ExportResult direct = e.run(nullptr);
        const ExportResult kept = e.run(keeper_.get());
        EXPECT_EQ(kept.csv, direct.csv);
        EXPECT_EQ(Text(kept.errors), Text(direct.errors));
        EXPECT_EQ(Text(kept.warnings), Text(direct.warnings));
    }
    EXPECT_EQ(ExportSummary(userFolder(), ';', {}, keeper_.get()).errors,
              QStringList{"не удалось прочитать / cannot read " + userFolder() +
                          "short.zamrik: Read beyond end of file"});
    EXPECT_EQ(ExportRecords(userFolder(), "20", ';', {}, keeper_.get()).csv.count("\r\n"), 151);

    ReportFilter all, one, days;
    one.ranges = QStringList{"999"};
    one.rangeNamed = true;
    days.since = QDate(2026, 9, 3);
    days.until = QDate(2026, 9, 20);
    const QDateTime madeAt(QDate(2026, 12, 11), QTime(9, 0), Qt::UTC);
    for (const ReportFilter& filter : {all, one, days}) {
        SCOPED_TRACE(filter.ranges.join(',').toStdString());
        const ClassReport direct = GatherClassReport(userFolder(), filter);
        const ClassReport kept = GatherClassReport(userFolder(), filter, keeper_.get());
        EXPECT_EQ(Text(kept.errors), Text(direct.errors));
        EXPECT_EQ(Text(kept.warnings), Text(direct.warnings));
        for (ReportLanguage language : {ReportLanguage::Russian, ReportLanguage::English})
            EXPECT_EQ(ReportHtml(kept, language, madeAt), ReportHtml(direct, language, madeAt));
    }
}

// Without ADM's login the keeper hands out no pupil's profile: each is named
// as unread, none is exported.
TEST_F(ExportKeeperTest, WithoutAdmsLoginTheProfilesAreRefused)
{
    WriteUser("anna", "Анна", 600, 150);
    const ExportResult result = ExportSummary(userFolder(), ';', {}, keeper_.get());
    EXPECT_EQ(result.errors, QStringList{"не удалось прочитать / cannot read " + userFolder() +
                                         "anna.zamrik: refused by the keeper"});
    EXPECT_EQ(result.csv.count("\r\n"), 1); // the header alone
}

// The password as a script hands it over: the first line alone, without its
// line end; nothing after it is taken from the input.
TEST(PasswordLineTest, TheFirstLineWithoutItsEnd)
{
    const struct {
        QByteArray input;
        std::optional<QByteArray> line;
        QByteArray rest;
    } cases[] = {
        {"Секрет1\n", QByteArray("Секрет1"), ""},
        {"secret\r\nnext\n", QByteArray("secret"), "next\n"},
        {"no line end", QByteArray("no line end"), ""},
        {"\n", QByteArray(""), ""},
        {"", std::nullopt, ""},
        {QByteArray(5000, 'x') + "\nrest", QByteArray(4096, 'x'), "rest"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input.left(20).toStdString());
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        ASSERT_EQ(write(fds[1], c.input.constData(), size_t(c.input.size())),
                  ssize_t(c.input.size()));
        close(fds[1]);
        EXPECT_EQ(ReadPasswordLine(fds[0]), c.line);
        char rest[64] = {};
        const ssize_t got = read(fds[0], rest, sizeof rest);
        EXPECT_EQ(QByteArray(rest, int(std::max<ssize_t>(got, 0))), c.rest);
        close(fds[0]);
    }
}

} // namespace
