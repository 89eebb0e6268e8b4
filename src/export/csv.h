#pragma once
// Comma-separated values as spreadsheets read them: UTF-8, one record per
// line ending in CR LF. Every text field is enclosed in double quotes, with its
// double quotes doubled; a number is written as it is (enclosed only if it
// held the separator, a double quote, CR or LF, which numbers never do).

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// A text field: always in double quotes.
QByteArray CsvText(const QString& text);
// A number field: as it is.
QByteArray CsvNumber(const QString& text, char separator);

// A stored text as a spreadsheet should show it. Control characters and the
// bidirectional controls become U+FFFD (a tab stays, VisibleText). Text that a
// spreadsheet could run as a formula gets a leading apostrophe, which
// spreadsheets read as "this is text": text beginning with a tab or a carriage
// return, or whose first character other than blanks and invisible format
// characters is "=", "+", "-" or "@" once compatibility characters are
// folded (NFKC: a full-width "＝" is an "="). Anything else is left as it is.
QString SpreadsheetText(const QString& text);

// The fields joined by `separator`, then CR LF: each field a text, except
// those whose index `numberColumns` holds.
QByteArray CsvRow(const QStringList& fields, char separator,
                  const QList<int>& numberColumns = QList<int>());
