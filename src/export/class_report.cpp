#include "export/class_report.h"

#include "export/class_folder.h"
#include "records/records_order.h"

#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <map>

namespace {

// "dd-mm-yyyy hh:mm:ss" as a date and time without a time zone (UTC, which
// needs no look-up of the local zone per record); invalid otherwise.
QDateTime FinishedAt(const QString& text)
{
    if (text.size() != 19 || text[2] != QLatin1Char('-') || text[5] != QLatin1Char('-') ||
        text[10] != QLatin1Char(' ') || text[13] != QLatin1Char(':') ||
        text[16] != QLatin1Char(':'))
        return QDateTime();
    bool ok = true;
    auto number = [&](int at, int length) {
        int value = 0;
        for (int i = at; i < at + length; ++i) {
            ok = ok && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9');
            value = value * 10 + (text[i].unicode() - '0');
        }
        return value;
    };
    const QDate date(number(6, 4), number(3, 2), number(0, 2));
    const QTime time(number(11, 2), number(14, 2), number(17, 2));
    if (!ok || !date.isValid() || !time.isValid())
        return QDateTime();
    return QDateTime(date, time, Qt::UTC);
}

bool ByDate(const ReportExercise& a, const ReportExercise& b)
{
    return a.finishedAt < b.finishedAt;
}

// The first day of the period of `date` at the given fold: 0 day, 1 week
// (from Monday), 2 two weeks, 3 month, 4 + n groups of 2^(n+1) months counted
// from year 0. Julian day 0 is a Monday.
QDate PeriodStart(const QDate& date, int fold)
{
    if (fold == 0)
        return date;
    if (fold <= 2) {
        const qint64 days = fold == 1 ? 7 : 14;
        const qint64 day = date.toJulianDay();
        return QDate::fromJulianDay(day - (day % days + days) % days);
    }
    const int months = 1 << (fold - 3);
    const int index = (date.year() * 12 + date.month() - 1) / months * months;
    return QDate(index / 12, index % 12 + 1, 1);
}

std::vector<SeriesPoint> Fold(const std::vector<ReportExercise>& exercises, int fold)
{
    std::vector<SeriesPoint> points;
    std::vector<qint64> sums; // points scored per period
    for (const ReportExercise& exercise : exercises) {
        const QDate start = PeriodStart(exercise.finishedAt.date(), fold);
        if (points.empty() || points.back().date != start) {
            points.push_back(SeriesPoint{start, 0, 0, 0});
            sums.push_back(0);
        }
        SeriesPoint& point = points.back();
        point.speed += ExerciseSpeed(exercise);
        point.errors += exercise.errors;
        sums.back() += exercise.points;
        ++point.exercises;
    }
    for (size_t i = 0; i < points.size(); ++i) {
        points[i].speed /= points[i].exercises;
        points[i].errors = sums[i] > 0 ? points[i].errors * 10 / sums[i] : 0.0;
    }
    return points;
}

// The number of periods of the fold from the one starting on `first` to the
// one starting on `last`.
qint64 PeriodCount(const QDate& first, const QDate& last, int fold)
{
    if (fold <= 2) {
        const qint64 days = fold == 0 ? 1 : fold == 1 ? 7 : 14;
        return (last.toJulianDay() - first.toJulianDay()) / days + 1;
    }
    const qint64 months = qint64(1) << (fold - 3);
    return ((last.year() - first.year()) * 12 + last.month() - first.month()) / months + 1;
}

QDate NextPeriod(const QDate& start, int fold)
{
    if (fold <= 2)
        return start.addDays(fold == 0 ? 1 : fold == 1 ? 7 : 14);
    return start.addMonths(1 << (fold - 3));
}

// One records table: the filter's exercises of every nick and each nick's
// place by time over the whole table.
TableRead ReadTable(const ClassReader& reader, const QString& rangeText, const ReportFilter& filter,
                    std::map<QString, PupilReport>& pupils, ClassReport& report)
{
    const QString table = RecordsTableFileName(reader.dir(), rangeText);
    std::vector<ResultRecord> records;
    const TableRead read = reader.readTable(rangeText, records, report.errors, report.warnings);
    if (read == TableRead::Missing)
        (filter.rangeNamed ? report.errors : report.warnings) << NoRecordsTableText(table);
    if (read != TableRead::Read)
        return read;

    std::map<QString, RangeReport> ranges;
    const std::vector<int> order = SortRecords(records, RecordsOrder::ByTime);
    for (int place = 0; place < int(order.size()); ++place) {
        RangeReport& range = ranges[records[order[place]].nick];
        if (range.place == 0)
            range.place = place + 1;
    }
    int undated = 0;
    for (const ResultRecord& record : records) {
        PupilReport& pupil = pupils[record.nick];
        pupil.nick = record.nick;
        if (pupil.fullName.isEmpty())
            pupil.fullName = record.fullName;
        const QDateTime when = FinishedAt(record.finishedAt);
        if (!when.isValid()) {
            ++undated;
            continue;
        }
        if ((filter.since && when.date() < *filter.since) ||
            (filter.until && when.date() > *filter.until))
            continue;
        ranges[record.nick].exercises.push_back(
            ReportExercise{when, record.timePerExample, record.points, record.errors});
    }
    if (undated > 0)
        report.warnings
            << QStringLiteral("записи без даты пропущены / records without a date skipped (%1): %2")
                   .arg(undated)
                   .arg(table);
    for (auto& [nick, range] : ranges) {
        range.rangeText = rangeText;
        range.tableSize = int(records.size());
        std::stable_sort(range.exercises.begin(), range.exercises.end(), ByDate);
        pupils[nick].ranges.push_back(std::move(range));
    }
    return read;
}

} // namespace

double ExerciseSpeed(const ReportExercise& exercise)
{
    return exercise.timePerExample <= 0 ? 0.0 : 6000.0 / exercise.timePerExample;
}

double ExerciseSeconds(const ReportExercise& exercise)
{
    return double(exercise.timePerExample) * exercise.points / 100.0;
}

double MeanSpeed(const ReportExercise* first, int count)
{
    double sum = 0;
    for (int i = 0; i < count; ++i)
        sum += ExerciseSpeed(first[i]);
    return count > 0 ? sum / count : 0.0;
}

double ErrorsPer10Points(const ReportExercise* first, int count)
{
    qint64 errors = 0, points = 0;
    for (int i = 0; i < count; ++i) {
        errors += first[i].errors;
        points += first[i].points;
    }
    return points > 0 ? 10.0 * double(errors) / double(points) : 0.0;
}

std::vector<SeriesPoint> DateSeries(const std::vector<ReportExercise>& exercises, int maxPoints)
{
    for (int fold = 0;; ++fold) {
        std::vector<SeriesPoint> points = Fold(exercises, fold);
        if (int(points.size()) <= std::max(1, maxPoints) || fold > 20)
            return points;
    }
}

std::vector<SeriesPoint> ExercisesPerPeriod(const std::vector<QDate>& days, const QDate& first,
                                            const QDate& last, int maxBars)
{
    if (!first.isValid() || !last.isValid() || last < first)
        return {};
    int fold = 0;
    while (fold < 20 && PeriodCount(PeriodStart(first, fold), PeriodStart(last, fold), fold) >
                            std::max(1, maxBars))
        ++fold;
    std::vector<SeriesPoint> periods;
    const QDate end = PeriodStart(last, fold);
    for (QDate start = PeriodStart(first, fold); start.isValid() && start <= end;
         start = NextPeriod(start, fold))
        periods.push_back(SeriesPoint{start, 0, 0, 0});
    for (const QDate& day : days) {
        if (day < first || day > last)
            continue;
        const QDate start = PeriodStart(day, fold);
        // The periods are in date order: the one of `day` found by halves.
        const auto at = std::lower_bound(
            periods.begin(), periods.end(), start,
            [](const SeriesPoint& point, const QDate& date) { return point.date < date; });
        if (at != periods.end() && at->date == start)
            ++at->exercises;
    }
    return periods;
}

SpeedChange SpeedChangeOf(const std::vector<ReportExercise>& exercises)
{
    const int count = int(exercises.size());
    const int group = std::min(kProgressGroup, count / 2);
    if (group == 0)
        return SpeedChange();
    return SpeedChange{MeanSpeed(exercises.data(), group),
                       MeanSpeed(exercises.data() + count - group, group), group};
}

Attention AttentionOf(const std::vector<ReportExercise>& exercises, bool practisedInWeek)
{
    Attention attention;
    const int count = int(exercises.size());
    if (!practisedInWeek || count < 2 * kProgressGroup)
        return attention;
    const ReportExercise* last = exercises.data() + count - kProgressGroup;
    const ReportExercise* before = last - kProgressGroup;
    attention.speedBefore = MeanSpeed(before, kProgressGroup);
    attention.speedLast = MeanSpeed(last, kProgressGroup);
    attention.errorsBefore = ErrorsPer10Points(before, kProgressGroup);
    attention.errorsLast = ErrorsPer10Points(last, kProgressGroup);
    attention.noFaster = attention.speedLast <= attention.speedBefore;
    // Compared in hundredths, as the page shows them, so that a rise of
    // exactly kErrorRise counts however the division rounds.
    attention.moreErrors = std::llround((attention.errorsLast - attention.errorsBefore) * 100) >=
                           std::llround(kErrorRise * 100);
    return attention;
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double RangeReport::bestSpeed() const
{
    double best = 0;
    for (const ReportExercise& exercise : exercises)
        best = std::max(best, ExerciseSpeed(exercise));
    return best;
}

double RangeReport::latestSpeed() const
{
    return exercises.empty() ? 0.0 : ExerciseSpeed(exercises.back());
}

double RangeReport::errorsPer10Points() const
{
    return ErrorsPer10Points(exercises.data(), int(exercises.size()));
}

int RangeReport::exercisesIn(const QDate& from, const QDate& to) const
{
    int count = 0;
    for (const ReportExercise& exercise : exercises) {
        const QDate day = exercise.finishedAt.date();
        count += day >= from && day <= to ? 1 : 0;
    }
    return count;
}

int PupilReport::exercises() const
{
    int count = 0;
    for (const RangeReport& range : ranges)
        count += int(range.exercises.size());
    return count;
}

qint64 PupilReport::totalPoints() const
{
    qint64 sum = 0;
    for (const RangeReport& range : ranges)
        for (const ReportExercise& exercise : range.exercises)
            sum += exercise.points;
    return sum;
}

double PupilReport::totalSeconds() const
{
    double sum = 0;
    for (const RangeReport& range : ranges)
        for (const ReportExercise& exercise : range.exercises)
            sum += ExerciseSeconds(exercise);
    return sum;
}

double PupilReport::bestSpeed() const
{
    double best = 0;
    for (const RangeReport& range : ranges)
        for (const ReportExercise& exercise : range.exercises)
            best = std::max(best, ExerciseSpeed(exercise));
    return best;
}

double PupilReport::latestSpeed() const
{
    const std::vector<ReportExercise> all = allExercises();
    return all.empty() ? 0.0 : ExerciseSpeed(all.back());
}

double PupilReport::errorsPerExercise() const
{
    qint64 errors = 0;
    for (const RangeReport& range : ranges)
        for (const ReportExercise& exercise : range.exercises)
            errors += exercise.errors;
    const int count = exercises();
    return count == 0 ? 0.0 : double(errors) / count;
}

QDateTime PupilReport::lastExercise() const
{
    QDateTime last;
    for (const RangeReport& range : ranges)
        if (!range.exercises.empty() &&
            (!last.isValid() || range.exercises.back().finishedAt > last))
            last = range.exercises.back().finishedAt;
    return last;
}

QDateTime PupilReport::lastExerciseBy(const QDate& day) const
{
    QDateTime last;
    for (const RangeReport& range : ranges)
        for (const ReportExercise& exercise : range.exercises)
            if (exercise.finishedAt.date() <= day &&
                (!last.isValid() || exercise.finishedAt > last))
                last = exercise.finishedAt;
    return last;
}

int PupilReport::exercisesIn(const QDate& from, const QDate& to) const
{
    int count = 0;
    for (const RangeReport& range : ranges)
        count += range.exercisesIn(from, to);
    return count;
}

const RangeReport* PupilReport::mainRange() const
{
    const RangeReport* main = nullptr;
    for (const RangeReport& range : ranges) {
        if (range.exercises.empty())
            continue;
        if (!main || range.exercises.size() > main->exercises.size() ||
            (range.exercises.size() == main->exercises.size() &&
             range.exercises.back().finishedAt > main->exercises.back().finishedAt))
            main = &range;
    }
    return main;
}

bool PupilReport::profileTotalsDiffer() const
{
    if (!profileSeconds || !profilePoints)
        return false;
    const qint64 points = totalPoints();
    // A record's time per point is cut to whole hundredths of a second: the
    // tables' time falls short of the exercise's by less than 1/100 s a point.
    const double slack = double(points) / 100.0 + 1.0;
    return *profilePoints != points || std::abs(double(*profileSeconds) - totalSeconds()) > slack;
}

const RangeReport* PupilReport::range(const QString& rangeText) const
{
    for (const RangeReport& range : ranges)
        if (range.rangeText == rangeText)
            return &range;
    return nullptr;
}

std::vector<ReportExercise> PupilReport::allExercises() const
{
    std::vector<ReportExercise> all;
    for (const RangeReport& range : ranges)
        all.insert(all.end(), range.exercises.begin(), range.exercises.end());
    std::stable_sort(all.begin(), all.end(), ByDate);
    return all;
}

ClassReport GatherClassReport(const QString& folder, const ReportFilter& filter,
                              ClassFolderAccess* keeper)
{
    ClassReport report;
    report.folder = folder.isEmpty() ? folder : QFileInfo(folder).absoluteFilePath();
    report.filter = filter;
    report.day = filter.day ? *filter.day : filter.until ? *filter.until : QDate::currentDate();
    const QString dir = ClassFolderToRead(folder, report.errors);
    const ClassReader reader(dir, keeper);
    if (dir.isEmpty() || !reader.canList(report.errors))
        return report;
    const int errors = report.errors.size();
    const QStringList nicks = reader.nicks(report.errors);
    if (report.errors.size() > errors)
        return report;

    std::map<QString, PupilReport> pupils;
    for (const QString& nick : nicks) {
        UserProfile profile;
        PupilReport& pupil = pupils[nick];
        pupil.nick = nick;
        if (reader.readProfile(nick, profile, report.errors)) {
            pupil.fullName = profile.fullName;
            pupil.profileSeconds = profile.totalTime;
            pupil.profilePoints = profile.totalPoints;
        }
    }
    bool any = false; // a table of the filter's ranges is there
    for (const QString& rangeText : filter.ranges)
        any = ReadTable(reader, rangeText, filter, pupils, report) != TableRead::Missing || any;
    if (!filter.rangeNamed && report.errors.isEmpty()) {
        if (!any) {
            report.errors
                << QStringLiteral("нет ни одной таблицы рекордов / no records table: %1").arg(dir);
            report.warnings.clear();
        }
    }

    for (auto& [nick, pupil] : pupils)
        report.pupils.push_back(std::move(pupil));
    std::sort(report.pupils.begin(), report.pupils.end(),
              [order = NickOrder()](const PupilReport& a, const PupilReport& b) {
                  return order(a.nick, b.nick);
              });
    return report;
}
