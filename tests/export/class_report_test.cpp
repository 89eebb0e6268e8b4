// The class report: what is gathered from a class folder, how dates fold into
// chart points, that stored texts stay text in the page, and the command line.

#include "export/class_report.h"
#include "export/export_command.h"
#include "export/report_html.h"
#include "export_fixture.h"

#include <QBuffer>
#include <QDir>
#include <QFile>

#include <limits>

namespace {

class ClassReportTest : public ExportTest {
  protected:
    // anna in 0-20 on three days and in 0-9 once; bob in 0-20 once, faster
    // than anna's best; carol has a profile and no exercises.
    void writeClass()
    {
        WriteUser("anna", "Анна Петрова", 0, 0);
        WriteUser("carol", "Карина", 0, 0);
        WriteTable("20", {Result("anna", "Анна Петрова", 500, 40, "01-09-2026 10:00:00", 4),
                          Result("bob", "Борис", 150, 20, "02-09-2026 09:00:00", 1),
                          Result("anna", "Анна Петрова", 400, 50, "02-09-2026 10:00:00", 2),
                          Result("anna", "Анна Петрова", 200, 60, "05-09-2026 10:00:00", 0)});
        WriteTable("9", {Result("anna", "Анна Петрова", 1000, 10, "03-09-2026 08:00:00", 3)});
    }

    static const PupilReport* find(const ClassReport& report, const QString& nick)
    {
        for (const PupilReport& pupil : report.pupils)
            if (pupil.nick == nick)
                return &pupil;
        return nullptr;
    }

    int run(const QStringList& arguments, QByteArray& out, QByteArray& err)
    {
        QBuffer outBuffer(&out), errBuffer(&err);
        outBuffer.open(QIODevice::WriteOnly);
        errBuffer.open(QIODevice::WriteOnly);
        return RunExportCommand(QStringList{"zelvo-export"} + arguments, outBuffer, errBuffer);
    }
};

TEST_F(ClassReportTest, GathersEveryPupilWithTheOverviewFigures)
{
    writeClass();
    const ClassReport report = GatherClassReport(userFolder(), ReportFilter());
    EXPECT_TRUE(report.errors.isEmpty()) << report.errors.join("\n").toStdString();
    // The tables of 0-99 and 0-999 are missing: told, not an error.
    EXPECT_EQ(report.warnings.size(), 2);
    ASSERT_EQ(report.pupils.size(), 3u);
    EXPECT_EQ(report.pupils[0].nick, "anna");
    EXPECT_EQ(report.pupils[1].nick, "bob");
    EXPECT_EQ(report.pupils[2].nick, "carol");

    const PupilReport& anna = report.pupils[0];
    EXPECT_EQ(anna.fullName, "Анна Петрова");
    ASSERT_NE(anna.range("20"), nullptr);
    ASSERT_NE(anna.range("9"), nullptr);
    EXPECT_EQ(anna.range("20")->exercises.size(), 3u);
    EXPECT_EQ(anna.range("9")->exercises.size(), 1u);
    EXPECT_EQ(anna.exercises(), 4);
    EXPECT_EQ(anna.totalPoints(), 160);
    // 5.00 s x 40 + 4.00 s x 50 + 2.00 s x 60 + 10.00 s x 10
    EXPECT_DOUBLE_EQ(anna.totalSeconds(), 620.0);
    EXPECT_DOUBLE_EQ(anna.bestSpeed(), 30.0);
    EXPECT_DOUBLE_EQ(anna.latestSpeed(),
                     30.0); // 05-09 is the last, though 0-9 comes later in file order
    EXPECT_DOUBLE_EQ(anna.errorsPerExercise(), 9.0 / 4);
    EXPECT_EQ(anna.lastExercise().date(), QDate(2026, 9, 5));
    EXPECT_EQ(anna.lastExercise().time(), QTime(10, 0));
    // Places by time per point over the whole table: bob 150, anna 200.
    EXPECT_EQ(anna.range("20")->place, 2);
    EXPECT_EQ(anna.range("20")->tableSize, 4);
    EXPECT_EQ(anna.range("9")->place, 1);
    EXPECT_EQ(report.pupils[1].range("20")->place, 1);
    EXPECT_EQ(report.pupils[1].fullName, "Борис"); // no profile: the name from the table

    const PupilReport& carol = report.pupils[2];
    EXPECT_EQ(carol.fullName, "Карина");
    EXPECT_EQ(carol.exercises(), 0);
    EXPECT_EQ(carol.range("20"), nullptr);
    EXPECT_DOUBLE_EQ(carol.latestSpeed(), 0.0);
    EXPECT_DOUBLE_EQ(carol.errorsPerExercise(), 0.0);
    EXPECT_FALSE(carol.lastExercise().isValid());
}

TEST_F(ClassReportTest, FilterKeepsRangeAndDaysButPlacesCountTheWholeTable)
{
    writeClass();
    ReportFilter filter;
    filter.ranges = {"20"};
    filter.rangeNamed = true;
    filter.since = QDate(2026, 9, 2);
    filter.until = QDate(2026, 9, 4);
    const ClassReport report = GatherClassReport(userFolder(), filter);
    EXPECT_TRUE(report.errors.isEmpty());
    EXPECT_TRUE(report.warnings.isEmpty());
    const PupilReport* anna = find(report, "anna");
    ASSERT_NE(anna, nullptr);
    EXPECT_EQ(anna->range("9"), nullptr);
    ASSERT_EQ(anna->range("20")->exercises.size(), 1u);
    EXPECT_EQ(anna->range("20")->exercises[0].points, 50);
    EXPECT_EQ(anna->range("20")->place, 2);
    EXPECT_EQ(anna->range("20")->tableSize, 4);
}

TEST_F(ClassReportTest, MissingAndDamagedFilesAreNamed)
{
    // A named range without its table is an error; other ranges are only told.
    WriteTable("20",
               {Result("anna", "", 100, 10, "01-09-2026 10:00:00", 0),
                Result("anna", "", 100, 10, "not a date", 0),
                Result("anna", "", 100, 10, "31-02-2026 10:00:00", 0),
                Result("anna", "", 100, 10, "01-09-2026 25:00:00", 0),
                Result("anna", "", 100, 10, "1-09-2026 10:00:00", 0),
                Result("anna", "", 100, 10, "01-09-2026 10:00:0x", 0)},
               QByteArray(17, 'x'));
    ReportFilter named;
    named.ranges = {"999"};
    named.rangeNamed = true;
    ClassReport report = GatherClassReport(userFolder(), named);
    ASSERT_EQ(report.errors.size(), 1);
    EXPECT_TRUE(report.errors[0].contains("999record.config"));

    report = GatherClassReport(userFolder(), ReportFilter());
    EXPECT_TRUE(report.errors.isEmpty());
    const QString warnings = report.warnings.join("\n");
    EXPECT_TRUE(warnings.contains("(17 bytes)")) << warnings.toStdString();
    EXPECT_TRUE(warnings.contains("(5): "))
        << warnings.toStdString(); // the records without a valid date
    ASSERT_EQ(report.pupils.size(), 1u);
    EXPECT_EQ(report.pupils[0].exercises(), 1);

    // A profile shorter than one record: named, the rest still gathered.
    writeFile(userFolder() + "short.zamrik", "abc");
    report = GatherClassReport(userFolder(), ReportFilter());
    ASSERT_EQ(report.errors.size(), 1);
    EXPECT_TRUE(report.errors[0].contains("short.zamrik")) << report.errors[0].toStdString();
    EXPECT_EQ(report.pupils.size(), 2u);
    QFile::remove(userFolder() + "short.zamrik");

    // No table at all, or no folder: errors.
    QFile::remove(tablePath("20"));
    EXPECT_EQ(GatherClassReport(userFolder(), ReportFilter()).errors.size(), 1);
    EXPECT_EQ(GatherClassReport(tempPath("none"), ReportFilter()).errors.size(), 1);
}

TEST(DateSeriesTest, DaysFoldIntoWeeksAndMonthsWhenThereAreTooMany)
{
    auto at = [](int year, int month, int day, qint32 time, qint32 errors) {
        return ReportExercise{QDateTime(QDate(year, month, day), QTime(12, 0)), time, 10, errors};
    };
    // Monday 07-09-2026 to Sunday 13-09 is one week; 14-09 starts the next.
    // The two weeks from Monday 31-08 and from 14-09 are counted from Julian day 0.
    const std::vector<ReportExercise> exercises = {
        at(2026, 9, 7, 600, 2),  at(2026, 9, 7, 200, 0),  at(2026, 9, 13, 300, 1),
        at(2026, 9, 14, 100, 0), at(2026, 9, 21, 200, 0), at(2026, 10, 1, 600, 4)};
    const struct {
        int maxPoints;
        std::vector<QDate> dates;
        std::vector<double> speeds;
    } cases[] = {
        {10,
         {QDate(2026, 9, 7), QDate(2026, 9, 13), QDate(2026, 9, 14), QDate(2026, 9, 21),
          QDate(2026, 10, 1)},
         {20, 20, 60, 30, 10}},
        {4,
         {QDate(2026, 9, 7), QDate(2026, 9, 14), QDate(2026, 9, 21), QDate(2026, 9, 28)},
         {20, 60, 30, 10}},
        {3, {QDate(2026, 8, 31), QDate(2026, 9, 14), QDate(2026, 9, 28)}, {20, 45, 10}},
        {2, {QDate(2026, 9, 1), QDate(2026, 10, 1)}, {30, 10}},
        {1, {QDate(2026, 9, 1)}, {160.0 / 6}},
    };
    for (const auto& c : cases) {
        const std::vector<SeriesPoint> points = DateSeries(exercises, c.maxPoints);
        ASSERT_EQ(points.size(), c.dates.size()) << c.maxPoints;
        for (size_t i = 0; i < points.size(); ++i) {
            EXPECT_EQ(points[i].date, c.dates[i]) << c.maxPoints << " " << i;
            EXPECT_DOUBLE_EQ(points[i].speed, c.speeds[i]) << c.maxPoints << " " << i;
        }
    }
    EXPECT_DOUBLE_EQ(DateSeries(exercises, 10)[0].errors, 1.0);
    EXPECT_EQ(DateSeries(exercises, 10)[0].exercises, 2);
    EXPECT_TRUE(DateSeries({}, 10).empty());
    // No time per point: no speed rather than a division by zero.
    EXPECT_DOUBLE_EQ(ExerciseSpeed(ReportExercise{QDateTime(), 0, 10, 0}), 0.0);
}

TEST_F(ClassReportTest, StoredTextsStayTextInThePage)
{
    const QString nick = "<script>alert(1)</script>";
    const QString fullName = "\"><img src=x onerror=alert(2)> %1 %2 &amp;";
    // A nick with "/" has no profile file; this one has.
    WriteUser("<b>bold", fullName, 0, 0);
    WriteTable("20", {Result(nick, fullName, 300, 30, "02-09-2026 11:00:00", 1),
                      Result("%1%2", "%3", 300, 30, "02-09-2026 11:00:00", 1)});
    const ClassReport report = GatherClassReport(userFolder(), ReportFilter());
    for (ReportLanguage language : {ReportLanguage::Russian, ReportLanguage::English}) {
        const QString html =
            QString::fromUtf8(ReportHtml(report, language, QDateTime(QDate(2026, 9, 3), QTime())));
        EXPECT_FALSE(html.contains(nick));
        EXPECT_FALSE(html.contains("<img"));
        EXPECT_FALSE(html.contains("<b>"));
        EXPECT_TRUE(html.contains(">&lt;b&gt;bold</a>"));
        EXPECT_EQ(html.count("<script"), 1);
        EXPECT_TRUE(html.contains(nick.toHtmlEscaped()));
        EXPECT_TRUE(html.contains("&quot;&gt;&lt;img src=x onerror=alert(2)&gt; %1 %2 &amp;amp;"));
        // A nick with % signs is printed as it is, not filled in.
        EXPECT_TRUE(html.contains(">%1%2</a>"));
        EXPECT_TRUE(html.contains(">%3</td>"));
        EXPECT_FALSE(html.contains("http:"));
        EXPECT_FALSE(html.contains("https:"));
        EXPECT_EQ(html.count("<svg"),
                  html.count("<title") - 1); // every chart titled, plus the page title
        EXPECT_EQ(html.count("<svg"), html.count("<desc"));
    }
}

// Characters that act rather than show never reach the page: control
// characters (the tab too) of the tables' texts, and bidirectional controls
// of a nick (a profile's file name) are shown as U+FFFD.
TEST_F(ClassReportTest, ControlCharactersAreShownAsReplacementCharacters)
{
    const QString ffdf(QChar(0xfffd));
    WriteUser(QString("ev") + QChar(0x202e) + "lif" + QChar(0x2066) + "x", "Анна", 0, 0);
    WriteTable("20",
               {Result("bo\x1b[2Jb", "Бо\tрис\r\nИ\x7fван", 300, 30, "02-09-2026 11:00:00", 1)});
    const ClassReport report = GatherClassReport(userFolder(), ReportFilter());
    const QString html = QString::fromUtf8(
        ReportHtml(report, ReportLanguage::English, QDateTime(QDate(2026, 9, 3), QTime())));
    EXPECT_TRUE(html.contains(">ev" + ffdf + "lif" + ffdf + "x</a>"));
    EXPECT_TRUE(html.contains(">bo" + ffdf + "[2Jb</a>"));
    EXPECT_TRUE(html.contains(">Бо" + ffdf + "рис" + ffdf + ffdf + "И" + ffdf + "ван</td>"));
    for (const QChar c : html) {
        const char16_t code = c.unicode();
        EXPECT_FALSE((code < 0x20 && code != u'\n') || (code >= 0x7f && code <= 0x9f) ||
                     (code >= 0x202a && code <= 0x202e) || (code >= 0x2066 && code <= 0x2069))
            << "U+" << std::hex << int(code);
    }
}

// The page's first reservation grows with the pupils, but never overflows nor
// reaches gigabytes, however many nicks a hostile table holds.
TEST(ReportReservationTest, BoundedForAnyNumberOfPupils)
{
    EXPECT_GE(ReportReservation(0), 4096);
    EXPECT_GT(ReportReservation(30), ReportReservation(29));
    for (size_t pupils : {size_t(512), size_t(131072), size_t(1) << 31, size_t(1) << 40,
                          std::numeric_limits<size_t>::max()}) {
        SCOPED_TRACE(pupils);
        EXPECT_GE(ReportReservation(pupils), ReportReservation(30));
        EXPECT_LE(ReportReservation(pupils), qsizetype(8) << 20);
    }
}

TEST_F(ClassReportTest, CommandLine)
{
    const struct {
        QStringList arguments;
        bool valid;
    } cases[] = {
        {{"report"}, true},
        {{"report", "--range", "20", "--since", "2026-09-01", "--until", "2026-09-01", "--lang",
          "en"},
         true},
        {{"report", "--lang", "ru"}, true},
        {{"report", "--range", "21"}, false},
        {{"report", "--since", "01-09-2026"}, false},
        {{"report", "--until", "2026-02-30"}, false},
        {{"report", "--since", "2026-09-02", "--until", "2026-09-01"}, false},
        {{"report", "--lang", "de"}, false},
        {{"report", "--raw"}, false},
        {{"report", "--separator", ","}, false},
        {{"report", "20"}, false},
        {{"summary", "--lang", "en"}, false},
        {{"records", "20", "--range", "20"}, false},
    };
    for (const auto& c : cases) {
        QString error;
        const std::optional<ExportRequest> request =
            ParseExportArguments(QStringList{"zelvo-export"} + c.arguments, error);
        EXPECT_EQ(request.has_value(), c.valid) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(error.isEmpty(), c.valid) << c.arguments.join(' ').toStdString();
    }
    QString error;
    const std::optional<ExportRequest> request = ParseExportArguments(
        {"zelvo-export", "report", "--range", "99", "--since", "2026-09-01", "--lang", "en"},
        error);
    ASSERT_TRUE(request);
    EXPECT_TRUE(request->report);
    EXPECT_EQ(request->rangeText, "99");
    EXPECT_EQ(request->since, QDate(2026, 9, 1));
    EXPECT_FALSE(request->until);
    EXPECT_TRUE(request->english);
    EXPECT_TRUE(ExportHelpText().contains("report [--range 9|20|99|999]"));
    EXPECT_TRUE(ExportHelpText().contains("--lang ru|en"));
}

TEST_F(ClassReportTest, ExitCodes)
{
    writeClass();
    QByteArray out, err;
    EXPECT_EQ(run({"report", "--folder", userFolder()}, out, err), kExitDone) << err.toStdString();
    EXPECT_TRUE(out.startsWith("<!DOCTYPE html>"));
    EXPECT_TRUE(out.contains("<html lang=\"ru\">"));

    // A missing named table: incomplete, named, the page still written.
    out.clear();
    err.clear();
    EXPECT_EQ(run({"report", "--folder", userFolder(), "--range", "999", "--lang", "en"}, out, err),
              kExitIncomplete);
    EXPECT_TRUE(err.contains("999record.config"));
    EXPECT_TRUE(out.contains("<html lang=\"en\">"));
    EXPECT_TRUE(out.contains("999record.config")); // told in the page too

    // A folder named relative to the current one.
    out.clear();
    const QString current = QDir::currentPath();
    QDir::setCurrent(tempPath(""));
    const int relative = run({"report", "--folder", "users"}, out, err);
    QDir::setCurrent(current);
    EXPECT_EQ(relative, kExitDone);
    EXPECT_TRUE(out.contains("<th scope=\"row\" data-sort=\"anna\">"));
    EXPECT_TRUE(out.contains(QDir(userFolder()).absolutePath().toHtmlEscaped().toUtf8()));

    // A missing folder: incomplete, no page.
    out.clear();
    EXPECT_EQ(run({"report", "--folder", tempPath("none")}, out, err), kExitIncomplete);
    EXPECT_TRUE(out.isEmpty());

    // An output file in the class folder: a wrong command line, nothing written.
    EXPECT_EQ(
        run({"report", "--folder", userFolder(), "--output", userFolder() + "r.html"}, out, err),
        kExitUsage);
    EXPECT_FALSE(QFile::exists(userFolder() + "r.html"));
    EXPECT_EQ(run({"report", "--output", tempPath("r.html"), "--folder", userFolder()}, out, err),
              kExitDone);
    EXPECT_TRUE(readFile(tempPath("r.html")).startsWith("<!DOCTYPE html>"));
}

} // namespace
