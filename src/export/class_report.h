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
};

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

// A chart's point: one day (or week, or month, when there are many days).
struct SeriesPoint {
    QDate date;        // the first day of the period
    double speed = 0;  // mean points per minute of its exercises
    double errors = 0; // mean errors per exercise
    int exercises = 0;
};

// `exercises`, in date order, folded into at most `maxPoints` periods: days,
// else weeks (from Monday), else two weeks, else months, else groups of months.
std::vector<SeriesPoint> DateSeries(const std::vector<ReportExercise>& exercises, int maxPoints);

struct RangeReport {
    QString rangeText;
    std::vector<ReportExercise> exercises; // in date order
    int place = 0; // 1-based place of the pupil's best record in the table's time order; 0: none
    int tableSize = 0; // records in the whole table
};

struct PupilReport {
    QString nick;
    QString fullName;
    std::vector<RangeReport> ranges; // one per range of the filter, in its order

    int exercises() const;
    qint64 totalPoints() const;
    double totalSeconds() const;
    double bestSpeed() const;   // 0 without exercises
    double latestSpeed() const; // of the exercise finished last
    double errorsPerExercise() const;
    QDateTime lastExercise() const; // invalid without exercises
    const RangeReport* range(const QString& rangeText) const;
    // All ranges' exercises in date order.
    std::vector<ReportExercise> allExercises() const;
};

struct ClassReport {
    QString folder;
    ReportFilter filter;
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
