#pragma once
// Records tables: user folder + rangeText + "record.config", 780-byte records.

#include <QString>

struct ResultRecord {
    QString nick;
    QString fullName;
    qint32 timePerExample = 0; // hundredths of a second per point
    qint32 points = 0;
    QString finishedAt;        // "dd-mm-yyyy hh:mm:ss"
    qint32 errors = 0;
};

constexpr int kResultRecordSize = 780;
constexpr int kLegacyResultRecordSize = 776;

QString RecordsTableFileName();
// Appends to the table of the current range; IoError on a failed transfer.
void AppendResultRecord(const ResultRecord& record);
// Converts every "*.conf" table of the user folder; IoError ends the scan.
void ConvertLegacyTables();
