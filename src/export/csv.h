#pragma once
// Comma-separated values as spreadsheets read them: UTF-8, one record per
// line ending in CR LF; a field holding the separator, a double quote, CR or
// LF is enclosed in double quotes, with its double quotes doubled.

#include <QByteArray>
#include <QString>
#include <QStringList>

QByteArray CsvField(const QString& text, char separator);
// A stored text as a spreadsheet should show it: text that a spreadsheet would
// run as a formula (beginning with "=", "+", "-", "@", a tab or a carriage
// return) gets a leading apostrophe, which spreadsheets read as "this is text".
QString SpreadsheetText(const QString& text);
// The fields joined by `separator`, then CR LF.
QByteArray CsvRow(const QStringList& fields, char separator);
