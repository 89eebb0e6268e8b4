#pragma once
// A finished exercise as the records tables hold it: the record and its
// 780 bytes (the older 776-byte form only read). The tables themselves are
// records/records_table.h, their older form records/legacy_tables.h; both
// come with this header for the readers outside the records folder.

#include <QByteArray>
#include <QString>
#include <vector>

struct ResultRecord {
    QString nick;
    QString fullName;
    qint32 timePerExample = 0; // hundredths of a second per point
    qint32 points = 0;
    QString finishedAt; // "dd-mm-yyyy hh:mm:ss"
    qint32 errors = 0;
};

// The older table entry: a ResultRecord without `errors`. Only read.
struct LegacyResultRecord {
    QString nick;
    QString fullName;
    qint32 timePerExample = 0;
    qint32 points = 0;
    QString finishedAt;
};

constexpr int kResultRecordSize = 780;
constexpr int kLegacyResultRecordSize = 776;

// Byte layout: nick at 0, fullName at 256, finishedAt at 520 (short strings of
// capacity 255), timePerExample at 512, points at 516, errors at 776 (LE).
QByteArray EncodeResultRecord(const ResultRecord& record);
// `bytes` holds at least kResultRecordSize bytes.
ResultRecord DecodeResultRecord(const QByteArray& bytes);
ResultRecord DecodeResultRecord(const char* bytes);
// `bytes` holds at least kLegacyResultRecordSize bytes.
LegacyResultRecord DecodeLegacyResultRecord(const QByteArray& bytes);

#include "records/legacy_tables.h"
#include "records/records_table.h"
