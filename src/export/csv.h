#pragma once
// Comma-separated values as spreadsheets read them: UTF-8, one record per
// line ending in CR LF; a field holding the separator, a double quote, CR or
// LF is enclosed in double quotes, with its double quotes doubled.

#include <QByteArray>
#include <QString>
#include <QStringList>

QByteArray CsvField(const QString& text, char separator);
// The fields joined by `separator`, then CR LF.
QByteArray CsvRow(const QStringList& fields, char separator);
