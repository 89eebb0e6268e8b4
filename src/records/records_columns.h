#pragma once
// The columns of the records window: 0 "N", the row's place in the shown
// order, then the six fields of a record.

#include "records/result_record.h"

#include <QString>
#include <QStringList>

constexpr int kRecordsColumns = 7;

// "N", "NikName", "ФИО", "Time", "кол-во", "Дата", "Ошибок".
QStringList RecordsColumnTitles();

// The text of `column` 1 to 6 for a record: nick, full name, time per example,
// points, date as stored, errors; the numbers in plain decimal. Empty otherwise.
QString RecordFieldText(const ResultRecord& record, int column);
