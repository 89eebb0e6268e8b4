#pragma once
// The teacher's report, gathered: every pupil's exercises per range from the
// records tables, with the running figures the overview shows and the series
// its charts draw. Read-only, like the CSV export; no HTML here.

#include "records/number_range.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

struct ReportFilter {
    QStringList ranges = RangeTexts();
    bool rangeNamed = false;    // --range given: its table must exist
    std::optional<QDate> since; // exercises finished on that day or later
    std::optional<QDate> until; // on that day or earlier
    // The report's day, the last of its week of activity; none: --until, else today.
    std::optional<QDate> day;
};

// The figures of progress compare groups of this many exercises.
constexpr int kProgressGroup = 5;
// Errors per 10 points must rise by this much to call for attention.
constexpr double kErrorRise = 0.5;

// One finished exercise.
struct ReportExercise {
    QDateTime finishedAt;
    qint32 timePerExample = 0; // hundredths of a second per point
    qint32 points = 0;
    qint32 errors = 0;
};

// Points per minute of one exercise: 6000 / time per point; 0 without time.
double ExerciseSpeed(const ReportExercise& exercise);
// Seconds the exercise took: time per point times points.
double ExerciseSeconds(const ReportExercise& exercise);

// Mean points per minute of `count` exercises from `first`; 0 without any.
double MeanSpeed(const ReportExercise* first, int count);
// Errors per 10 points of `count` exercises from `first`: comparable whatever
// target score each pupil chose; 0 without points.
double ErrorsPer10Points(const ReportExercise* first, int count);

// A chart's point: one day (or week, or month, when there are many days).
struct SeriesPoint {
    QDate date;        // the first day of the period
    double speed = 0;  // mean points per minute of its exercises
    double errors = 0; // errors per 10 points
    int exercises = 0;
};

// `exercises`, in date order, folded into at most `maxPoints` periods: days,
// else weeks (from Monday), else two weeks, else months, else groups of months.
std::vector<SeriesPoint> DateSeries(const std::vector<ReportExercise>& exercises, int maxPoints);

// Exercises per period, from the period of `first` to that of `last`, every
// period listed (none done: 0), folded as DateSeries folds them into at most
// `maxBars` periods. `days` are the exercises' days, in any order.
std::vector<SeriesPoint> ExercisesPerPeriod(const std::vector<QDate>& days, const QDate& first,
                                            const QDate& last, int maxBars);

// The change of speed over a range's exercises (in date order): the mean
// speed of the first kProgressGroup exercises against that of the last ones;
// with fewer than twice as many, of the first and the last half (rounded
// down). `group` 0: fewer than two exercises, no change.
struct SpeedChange {
    double first = 0;
    double last = 0;
    int group = 0;
    double change() const { return last - first; }
};
SpeedChange SpeedChangeOf(const std::vector<ReportExercise>& exercises);

// Why a range calls for the teacher's attention, judged on its last
// kProgressGroup exercises against the kProgressGroup before them, only for a
// range practised in the report's week with at least twice kProgressGroup
// exercises: no faster (mean speed not above), or errors per 10 points up by
// kErrorRise or more.
struct Attention {
    bool noFaster = false;
    bool moreErrors = false;
    double speedBefore = 0, speedLast = 0;
    double errorsBefore = 0, errorsLast = 0;
    bool any() const { return noFaster || moreErrors; }
};
Attention AttentionOf(const std::vector<ReportExercise>& exercises, bool practisedInWeek);

// The median of `values`; 0 without any.
double Median(std::vector<double> values);

struct RangeReport {
    QString rangeText;
    std::vector<ReportExercise> exercises; // in date order
    int place = 0; // 1-based place of the pupil's best record in the table's time order; 0: none
    int tableSize = 0; // records in the whole table

    double bestSpeed() const;   // 0 without exercises
    double latestSpeed() const; // of the exercise finished last
    double errorsPer10Points() const;
    int exercisesIn(const QDate& from, const QDate& to) const;
};

struct PupilReport {
    QString nick;
    QString fullName;
    std::vector<RangeReport> ranges; // one per range of the filter, in its order
    // The running totals of the profile, which the program's statistics and
    // summary windows show; none without a profile read.
    std::optional<qint64> profileSeconds;
    std::optional<qint64> profilePoints;

    int exercises() const;
    qint64 totalPoints() const;
    double totalSeconds() const;
    double bestSpeed() const;   // 0 without exercises
    double latestSpeed() const; // of the exercise finished last
    double errorsPerExercise() const;
    QDateTime lastExercise() const; // invalid without exercises
    // The last exercise finished on `day` or before; invalid without one.
    QDateTime lastExerciseBy(const QDate& day) const;
    int exercisesIn(const QDate& from, const QDate& to) const;
    const RangeReport* range(const QString& rangeText) const;
    // The range with the most exercises (of two alike, the one practised
    // last); none without exercises.
    const RangeReport* mainRange() const;
    // True when the profile's totals are known and differ from the tables'
    // beyond the rounding of the time per point (under 1/100 s per point).
    bool profileTotalsDiffer() const;
    // All ranges' exercises in date order.
    std::vector<ReportExercise> allExercises() const;
};

struct ClassReport {
    QString folder;
    ReportFilter filter;
    QDate day; // the report's day: the last of the week of activity
    QDate weekStart() const { return day.addDays(-6); }
    std::vector<PupilReport> pupils; // by nick, in the records window's nick order
    QStringList errors;              // a folder or file not read: the report is incomplete
    QStringList warnings;            // worth telling, nothing readable left out
};

class ClassFolderAccess;

// Every profile of the class folder and every nick of its tables, one pupil
// each, with the exercises the filter keeps. Read with the account's own
// rights, or through `keeper` (ADM logged in there) when one is given.
ClassReport GatherClassReport(const QString& folder, const ReportFilter& filter,
                              ClassFolderAccess* keeper = nullptr);
