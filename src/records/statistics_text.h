#pragma once
// Texts of a user's running totals, shown by the statistics and summary windows.

#include "accounts/user_profile.h"

#include <QString>
#include <QStringList>

// Points per minute to the nearest tenth, right-aligned in five characters:
// "  0.0" when no time was spent, " 15.0" for 150 points in 600 seconds.
QString SpeedText(qint32 totalPoints, qint32 totalSeconds);

// The summary table's column titles: "НИК", "ФИО", "Всего очков",
// "Всего времени", "Время".
QStringList SummaryColumnTitles();
// A summary row: nick, full name, total points, the total time as h:mm:ss
// (DurationText), speed text.
QStringList SummaryRowTexts(const QString& nick, const UserProfile& profile);
