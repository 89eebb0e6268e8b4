#pragma once
// The teacher's export: a class folder's records tables and profiles as CSV
// rows with the columns of the records and summary windows. Nothing in the
// folder is written; files are opened for reading only, each under the
// folder's shared lock while it is read, so that a stopped export never keeps
// the pupils' copies of the program waiting.

#include <QByteArray>
#include <QString>
#include <QStringList>

class ClassFolderAccess;

struct ExportResult {
    // The header row and one row for every record or profile that could be
    // read; empty when there is nothing to export (no folder, no table).
    QByteArray csv;
    // One message per folder or file that could not be read: the export is
    // incomplete.
    QStringList errors;
    // Worth telling, but nothing readable was left out.
    QStringList warnings;
};

// How the stored texts (nick, full name, the date text of a record) are
// written: as a spreadsheet should show them (SpreadsheetText), or exactly as
// stored. Either way every text field is in double quotes and the numbers are
// not.
enum class TextFields { ForSpreadsheet, Raw };

// Both read `folder` with the account's own rights, or through `keeper`
// (ADM logged in there) when one is given; the rows come out the same.

// The table of the range `rangeText` ("9", "20", "99", "999"): one row per
// record in file order, columns nick, full name, time, points, date, errors.
ExportResult ExportRecords(const QString& folder, const QString& rangeText, char separator,
                           TextFields texts = TextFields::ForSpreadsheet,
                           ClassFolderAccess* keeper = nullptr);

// One row per profile file, sorted by nick: nick, full name, total points,
// total time as h:mm:ss, speed in points per minute.
ExportResult ExportSummary(const QString& folder, char separator,
                           TextFields texts = TextFields::ForSpreadsheet,
                           ClassFolderAccess* keeper = nullptr);

// The class folder when none is named: "PathUser" of the machine store, else
// the program folder. Empty when the store names an empty folder; StoreError
// when "PathUser" is not a string.
QString DefaultClassFolder();
