#pragma once
// A class folder in a temporary directory, filled through the program's own
// writers, and the CSV bytes expected from it.

#include "accounts/user_profile.h"
#include "records/result_record.h"
#include "support/test_env.h"

#include <QStringList>
#include <vector>

class ExportTest : public ZelvoTest {
  protected:
    // A profile in the user folder, written as the program writes it.
    static void WriteUser(const QString& nick, const QString& fullName, qint32 seconds,
                          qint32 points)
    {
        UserProfile profile;
        profile.fullName = fullName;
        profile.totalTime = seconds;
        profile.totalPoints = points;
        ASSERT_TRUE(WriteProfile(nick, profile)) << nick.toStdString();
    }

    static ResultRecord Result(const QString& nick, const QString& fullName, qint32 time,
                               qint32 points, const QString& finishedAt, qint32 errors)
    {
        return ResultRecord{nick, fullName, time, points, finishedAt, errors};
    }

    // The table of `rangeText` in the user folder, holding `records` in this order.
    void WriteTable(const QString& rangeText, const std::vector<ResultRecord>& records,
                    const QByteArray& tail = QByteArray()) const
    {
        QByteArray bytes;
        for (const ResultRecord& record : records)
            bytes += EncodeResultRecord(record);
        writeFile(tablePath(rangeText), bytes + tail);
    }

    QString tablePath(const QString& rangeText) const
    {
        return userFolder() + rangeText + QStringLiteral("record.config");
    }

    // Lines joined with CR LF, one after the last too.
    static QByteArray Lines(const QStringList& lines)
    {
        QByteArray bytes;
        for (const QString& line : lines)
            bytes += line.toUtf8() + "\r\n";
        return bytes;
    }
};
