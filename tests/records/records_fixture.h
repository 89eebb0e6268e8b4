#pragma once
// A user folder in a temporary directory, the range back at 0-20, and
// helpers to build records-table files.

#include "records/number_range.h"
#include "records/result_record.h"
#include "support/scripted_dialogs.h"
#include "support/test_env.h"

#include <vector>

class RecordsTest : public ZelvoTest {
  protected:
    static ResultRecord Result(const QString& nick, qint32 time, qint32 points = 20,
                               const QString& fullName = QStringLiteral("Иванов Иван"),
                               const QString& finishedAt = QStringLiteral("06-12-2026 09:05:07"),
                               qint32 errors = 0)
    {
        return ResultRecord{nick, fullName, time, points, finishedAt, errors};
    }

    static QByteArray Table(const std::vector<ResultRecord>& records)
    {
        QByteArray bytes;
        for (const ResultRecord& record : records)
            bytes += EncodeResultRecord(record);
        return bytes;
    }

    QString tablePath(const QString& rangeText = QStringLiteral("20")) const
    {
        return userFolder() + rangeText + QStringLiteral("record.config");
    }

    ScriptedDialogs dialogs_;
};
