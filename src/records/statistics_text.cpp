#include "records/statistics_text.h"

#include "util/text.h"

QString SpeedText(qint32 totalPoints, qint32 totalSeconds)
{
    const double speed = totalSeconds == 0 ? 0.0 : totalPoints / (totalSeconds / 60.0);
    return QString::number(speed, 'f', 1).rightJustified(5, QLatin1Char(' '));
}

QStringList SummaryColumnTitles()
{
    return {QStringLiteral("НИК"), QStringLiteral("ФИО"), QStringLiteral("Всего очков"),
            QStringLiteral("Всего времени"), QStringLiteral("Время")};
}

QStringList SummaryRowTexts(const QString& nick, const UserProfile& profile)
{
    return {nick, profile.fullName, QString::number(profile.totalPoints),
            DurationText(profile.totalTime), SpeedText(profile.totalPoints, profile.totalTime)};
}
