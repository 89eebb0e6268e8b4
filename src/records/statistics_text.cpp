#include "records/statistics_text.h"

QString DurationText(qint64 seconds)
{
    if (seconds < 0)
        return QLatin1Char('-') + DurationText(-seconds);
    const qint64 hours = seconds / 3600;
    const qint64 minutes = seconds % 3600 / 60;
    return QStringLiteral("%1:%2:%3")
        .arg(hours)
        .arg(minutes, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

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
