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

// Exercises of 20 points one a day from 2026-09-01 at the given seconds a
// point (speed 60 / seconds) with the given errors.
std::vector<ReportExercise> Exercises(const std::vector<int>& secondsPerPoint,
                                      const std::vector<int>& errors = {})
{
    std::vector<ReportExercise> exercises;
    for (size_t i = 0; i < secondsPerPoint.size(); ++i)
        exercises.push_back(
            ReportExercise{QDateTime(QDate(2026, 9, 1).addDays(qint64(i)), QTime(12, 0), Qt::UTC),
                           secondsPerPoint[i] * 100, 20, i < errors.size() ? errors[i] : 0});
    return exercises;
}

TEST(ReportRulesTest, SpeedChangeComparesTheFirstAndTheLastExercises)
{
    // Seconds a point 6, 5, 4, 3 give 10, 12, 15, 20 points a minute.
    const struct {
        std::vector<int> seconds;
        int group;
        double first, last;
    } cases[] = {
        {{}, 0, 0, 0},
        {{6}, 0, 0, 0},
        {{6, 3}, 1, 10, 20},
        {{6, 5, 4}, 1, 10, 15},                   // an odd count: the middle one left out
        {{6, 6, 5, 4, 3, 3, 3}, 3, 32.0 / 3, 20}, // fewer than 10: halves
        {{6, 6, 6, 6, 6, 3, 3, 3, 3, 3}, 5, 10, 20},
        {{6, 6, 6, 6, 6, 5, 4, 3, 3, 3, 3, 3}, 5, 10, 20}, // the middle ones left out
        {{3, 3, 3, 3, 3, 6, 6, 6, 6, 6}, 5, 20, 10},       // slower: a negative change
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.seconds.size());
        const SpeedChange change = SpeedChangeOf(Exercises(c.seconds));
        EXPECT_EQ(change.group, c.group);
        EXPECT_DOUBLE_EQ(change.first, c.first);
        EXPECT_DOUBLE_EQ(change.last, c.last);
        EXPECT_DOUBLE_EQ(change.change(), c.last - c.first);
    }
}

TEST(ReportRulesTest, AttentionNeedsTenExercisesAndTheWeekAndSaysWhy)
{
    const std::vector<int> faster = {6, 6, 6, 6, 6, 3, 3, 3, 3, 3};
    const std::vector<int> flat = {3, 3, 3, 3, 3, 3, 3, 3, 3, 3};
    const std::vector<int> slowerAtLast = {3, 3, 3, 3, 3, 3, 3, 3, 4, 3};
    // Errors in 100 points of the five before and of the last five.
    const std::vector<int> none(10, 0);
    const std::vector<int> upByHalf = {0, 0, 0, 0, 0, 1, 1, 1, 1, 1};   // 0 -> 0.5
    const std::vector<int> upByLess = {1, 1, 1, 1, 0, 1, 2, 1, 1, 1};   // 0.4 -> 0.6
    const std::vector<int> fewerLater = {2, 2, 2, 2, 2, 1, 1, 1, 1, 1}; // 1.0 -> 0.5
    const struct {
        const char* name;
        std::vector<int> seconds;
        std::vector<int> errors;
        bool inWeek;
        bool noFaster, moreErrors;
    } cases[] = {
        {"faster, fewer errors", faster, fewerLater, true, false, false},
        {"no faster", flat, none, true, true, false},
        {"slower at last", slowerAtLast, none, true, true, false},
        {"errors up by 0.5", faster, upByHalf, true, false, true},
        {"errors up by less", faster, upByLess, true, false, false},
        {"both", flat, upByHalf, true, true, true},
        {"not practised in the week", flat, upByHalf, false, false, false},
        {"nine exercises", std::vector<int>(9, 3), std::vector<int>(9, 1), true, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Attention attention = AttentionOf(Exercises(c.seconds, c.errors), c.inWeek);
        EXPECT_EQ(attention.noFaster, c.noFaster);
        EXPECT_EQ(attention.moreErrors, c.moreErrors);
        EXPECT_EQ(attention.any(), c.noFaster || c.moreErrors);
    }
    // The figures behind the reasons: the five before against the last five.
    const Attention both = AttentionOf(Exercises(slowerAtLast, upByHalf), true);
    EXPECT_DOUBLE_EQ(both.speedBefore, 20.0);
    EXPECT_DOUBLE_EQ(both.speedLast, (20 + 20 + 20 + 15 + 20) / 5.0);
    EXPECT_DOUBLE_EQ(both.errorsBefore, 0.0);
    EXPECT_DOUBLE_EQ(both.errorsLast, 0.5);
}

TEST(ReportRulesTest, MedianAndErrorsPer10Points)
{
    const struct {
        std::vector<double> values;
        double median;
    } medians[] = {
        {{}, 0}, {{3}, 3}, {{1, 3}, 2}, {{5, 1, 3}, 3}, {{4, 1, 3, 2}, 2.5}, {{-1, 2, 2}, 2},
    };
    for (const auto& c : medians)
        EXPECT_DOUBLE_EQ(Median(c.values), c.median) << c.values.size();

    // Errors per 10 points do not depend on the target: 2 errors in 20
    // points and 5 in 50 are alike; no points, none.
    const ReportExercise twenty{QDateTime(), 300, 20, 2}, fifty{QDateTime(), 300, 50, 5},
        none{QDateTime(), 300, 0, 3};
    EXPECT_DOUBLE_EQ(ErrorsPer10Points(&twenty, 1), 1.0);
    EXPECT_DOUBLE_EQ(ErrorsPer10Points(&fifty, 1), 1.0);
    const ReportExercise both[] = {twenty, fifty};
    EXPECT_DOUBLE_EQ(ErrorsPer10Points(both, 2), 1.0);
    EXPECT_DOUBLE_EQ(ErrorsPer10Points(&none, 1), 0.0);
    EXPECT_DOUBLE_EQ(ErrorsPer10Points(nullptr, 0), 0.0);
}

TEST(ReportRulesTest, ExercisesPerPeriodListsEveryPeriodWithNoneAsZero)
{
    // Wednesday 2026-09-02 twice, Friday 09-04, Monday 09-14.
    const std::vector<QDate> days = {QDate(2026, 9, 14), QDate(2026, 9, 2), QDate(2026, 9, 4),
                                     QDate(2026, 9, 2), QDate(2026, 8, 1)};
    const struct {
        QDate first, last;
        int maxBars;
        std::vector<QDate> starts;
        std::vector<int> counts;
    } cases[] = {
        {QDate(2026, 9, 2),
         QDate(2026, 9, 5),
         10,
         {QDate(2026, 9, 2), QDate(2026, 9, 3), QDate(2026, 9, 4), QDate(2026, 9, 5)},
         {2, 0, 1, 0}},
        // 13 days do not fit 5 bars: weeks from Monday.
        {QDate(2026, 9, 2),
         QDate(2026, 9, 14),
         5,
         {QDate(2026, 8, 31), QDate(2026, 9, 7), QDate(2026, 9, 14)},
         {3, 0, 1}},
        // Days outside the span are not counted.
        {QDate(2026, 9, 3), QDate(2026, 9, 4), 10, {QDate(2026, 9, 3), QDate(2026, 9, 4)}, {0, 1}},
        {QDate(2026, 9, 1),
         QDate(2026, 10, 31),
         2,
         {QDate(2026, 9, 1), QDate(2026, 10, 1)},
         {4, 0}},
        {QDate(2026, 9, 5), QDate(2026, 9, 4), 10, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first.toString(Qt::ISODate).toStdString() + " " +
                     c.last.toString(Qt::ISODate).toStdString());
        const std::vector<SeriesPoint> bars = ExercisesPerPeriod(days, c.first, c.last, c.maxBars);
        ASSERT_EQ(bars.size(), c.starts.size());
        for (size_t i = 0; i < bars.size(); ++i) {
            EXPECT_EQ(bars[i].date, c.starts[i]) << i;
            EXPECT_EQ(bars[i].exercises, c.counts[i]) << i;
        }
    }
}

TEST_F(ClassReportTest, WeekActivityMainRangeAndProfileTotals)
{
    // anna: 0-20 on 01.09, 02.09, 05.09 and 0-9 on 03.09 (writeClass).
    writeClass();
    const struct {
        std::optional<QDate> day, until;
        QDate expected; // the report's day
        int week;       // anna's exercises from six days before it to it
        int daysSince;  // since her last exercise on that day or before; -1 none
    } cases[] = {
        {QDate(2026, 9, 5), std::nullopt, QDate(2026, 9, 5), 4, 0},
        {QDate(2026, 9, 11), std::nullopt, QDate(2026, 9, 11), 1, 6},
        {QDate(2026, 9, 12), std::nullopt, QDate(2026, 9, 12), 0, 7},
        {std::nullopt, QDate(2026, 9, 2), QDate(2026, 9, 2), 2, 0},
        {QDate(2026, 9, 3), QDate(2026, 9, 30), QDate(2026, 9, 3), 3, 0},
        {QDate(2026, 8, 31), std::nullopt, QDate(2026, 8, 31), 0, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected.toString(Qt::ISODate).toStdString());
        ReportFilter filter;
        filter.day = c.day;
        filter.until = c.until;
        const ClassReport report = GatherClassReport(userFolder(), filter);
        EXPECT_EQ(report.day, c.expected);
        EXPECT_EQ(report.weekStart(), c.expected.addDays(-6));
        const PupilReport* anna = find(report, "anna");
        ASSERT_NE(anna, nullptr);
        EXPECT_EQ(anna->exercisesIn(report.weekStart(), report.day), c.week);
        const QDateTime last = anna->lastExerciseBy(report.day);
        EXPECT_EQ(last.isValid() ? last.date().daysTo(report.day) : -1, c.daysSince);
    }
    EXPECT_EQ(GatherClassReport(userFolder(), ReportFilter()).day, QDate::currentDate());

    const ClassReport report = GatherClassReport(userFolder(), ReportFilter());
    // anna's main range is 0-20 (three exercises against one); her figures
    // there: best 30, latest 30, 6 errors in 150 points.
    const PupilReport* anna = find(report, "anna");
    ASSERT_NE(anna->mainRange(), nullptr);
    EXPECT_EQ(anna->mainRange()->rangeText, "20");
    EXPECT_DOUBLE_EQ(anna->mainRange()->bestSpeed(), 30.0);
    EXPECT_DOUBLE_EQ(anna->range("9")->bestSpeed(), 6.0);
    EXPECT_DOUBLE_EQ(anna->mainRange()->errorsPer10Points(), 0.4);
    EXPECT_EQ(find(report, "carol")->mainRange(), nullptr);
    // Of two ranges with as many exercises, the one practised last.
    PupilReport tie;
    tie.ranges = {RangeReport{"9", Exercises({6}), 0, 0}, RangeReport{"20", Exercises({3}), 0, 0}};
    tie.ranges[0].exercises[0].finishedAt = tie.ranges[0].exercises[0].finishedAt.addDays(1);
    EXPECT_EQ(tie.mainRange()->rangeText, "9");
    // The profiles: anna's and carol's totals are read; bob has none.
    EXPECT_EQ(anna->profileSeconds, 0);
    EXPECT_FALSE(find(report, "bob")->profileSeconds.has_value());
}

TEST(ReportRulesTest, ProfileTotalsDifferBeyondTheRoundingOfTimePerPoint)
{
    // The tables: 300 s for 150 points; time per point is cut to hundredths,
    // so a profile may hold up to 150/100 + 1 s more.
    PupilReport pupil;
    pupil.ranges = {RangeReport{"20", Exercises({2, 2, 2, 2, 2}), 0, 0}};
    pupil.ranges[0].exercises.push_back(
        ReportExercise{pupil.ranges[0].exercises.back().finishedAt.addDays(1), 200, 50, 0});
    ASSERT_EQ(pupil.totalPoints(), 150);
    ASSERT_DOUBLE_EQ(pupil.totalSeconds(), 300.0);
    const struct {
        std::optional<qint64> seconds, points;
        bool differ;
    } cases[] = {
        {std::nullopt, std::nullopt, false}, // no profile read
        {300, 150, false},
        {302, 150, false}, // within the rounding
        {298, 150, false},
        {303, 150, true},
        {300, 165, true}, // an exercise stopped with the pause: points...
        {420, 150, true}, // ...or time only, a score of 0
        {0, 0, true},
    };
    for (const auto& c : cases) {
        pupil.profileSeconds = c.seconds;
        pupil.profilePoints = c.points;
        EXPECT_EQ(pupil.profileTotalsDiffer(), c.differ)
            << c.seconds.value_or(-1) << " " << c.points.value_or(-1);
    }
}

TEST_F(ClassReportTest, SummaryOnlyAndBothLanguagesHaveTheSameColumns)
{
    writeClass();
    ReportFilter filter;
    filter.day = QDate(2026, 9, 5);
    const ClassReport report = GatherClassReport(userFolder(), filter);
    const QDateTime madeAt(QDate(2026, 9, 6), QTime(8, 0));
    const QString full = QString::fromUtf8(ReportHtml(report, ReportLanguage::Russian, madeAt));
    const QString summary = QString::fromUtf8(
        ReportHtml(report, ReportLanguage::Russian, madeAt, ReportParts::SummaryOnly));
    const QString english = QString::fromUtf8(
        ReportHtml(report, ReportLanguage::English, madeAt, ReportParts::SummaryOnly));
    EXPECT_EQ(full.count("<section class=\"pupil\""), 3);
    EXPECT_EQ(summary.count("<section class=\"pupil\""), 0);
    EXPECT_FALSE(summary.contains("href=\"#pupil-")); // no link to a missing section
    EXPECT_TRUE(summary.contains("id=\"overview-table\""));
    // No page forced per pupil in print.
    EXPECT_FALSE(full.contains("break-before:page"));
    EXPECT_TRUE(full.contains("section.pupil{break-inside:avoid}"));
    const int columns = summary.count("<th scope=\"col\"");
    EXPECT_EQ(columns, 13);
    EXPECT_EQ(english.count("<th scope=\"col\""), columns);
    EXPECT_TRUE(english.contains("Best speed, points per minute"));
    EXPECT_TRUE(summary.contains("Лучшая скорость, очков в минуту"));
    EXPECT_TRUE(summary.contains("Всего времени, ч:мм:сс"));
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
        {{"report", "--week", "2026-10-10", "--summary-only"}, true},
        {{"report", "--week", "10.10.2026"}, false},
        {{"report", "--week"}, false},
        {{"summary", "--week", "2026-10-10"}, false},
        {{"summary", "--summary-only"}, false},
        {{"records", "20", "--summary-only"}, false},
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
    EXPECT_FALSE(request->week);
    EXPECT_FALSE(request->summaryOnly);
    const std::optional<ExportRequest> weekly = ParseExportArguments(
        {"zelvo-export", "report", "--week", "2026-10-10", "--summary-only"}, error);
    ASSERT_TRUE(weekly);
    EXPECT_EQ(weekly->week, QDate(2026, 10, 10));
    EXPECT_TRUE(weekly->summaryOnly);
    EXPECT_TRUE(ExportHelpText().contains("--week"));
    EXPECT_TRUE(ExportHelpText().contains("--summary-only"));
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
