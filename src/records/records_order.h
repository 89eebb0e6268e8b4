#pragma once
// The four orders of the records window. Every record gets a text key: a
// primary key of the order, "|", and its position in the file in decimal.
// Keys compare whole, position included, with the records collator, so equal
// primary keys come in the text order of their positions (10 before 2).

#include "records/result_record.h"

#include <QCollator>
#include <QString>
#include <vector>

enum class RecordsOrder {
    ByDate, // file order
    ByTime, // timePerExample zero-padded to five characters
    ByNick,
    ByFullName, // the whole full name
};

// The decimal text of `time` with zeros in front up to five characters.
QString PaddedTimeText(qint32 time);

QString RecordSortKey(RecordsOrder order, const ResultRecord& record, int position);

// Case-insensitive, numeric mode off, in the user's default locale; Russian
// where that locale has no language (C, POSIX).
QCollator RecordsCollator();

// The file positions of `records` in the order to show them.
std::vector<int> SortRecords(const std::vector<ResultRecord>& records, RecordsOrder order);
