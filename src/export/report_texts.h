#pragma once
// The report's own texts in Russian and English: titles, column headers with
// their units, the rules the page states, and the reasons of its marks.

#include <QString>

enum class ReportLanguage { Russian, English };

struct ReportTexts {
    QString lang, title, folder, period, ranges, made, all, from, to, week, overview,
        overviewCaption, nick, fullName, exercises, rangeName, totalTime, totalPoints, best, latest,
        errorsPer10, change, mainRange, nowRange, attention, weekExercises, allExercises, daysSince,
        idle, idleList, idleLast, idleNever, classWeek, classChart, classChartDay, classChartWeek,
        classChartLonger, barDesc, noClassExercises, median, medianRange, noFaster, moreErrors,
        noteSpeed, noteErrors, noteRange, noteChange, noteAttention, noteTotals, noteTotalsFiltered,
        totalsDiffer, totalsDifferMark, pupilLast, pupilWeek, pupilNoWeek, byRange, places, of,
        noPlace, speed, speedUnit, chartNumbers, date, noExercises, speedTitle, errorsTitle,
        trendTitle, trendDesc, chartDesc, xAxis, sortHint, none, incomplete;
};

ReportTexts MakeReportTexts(ReportLanguage language);
