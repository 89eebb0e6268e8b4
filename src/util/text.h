#pragma once
// The program's own text routines. Fields are numbered from 1; a text with k
// separators has k+1 fields.

#include <QChar>
#include <QString>

// The text from the first character of field n to the end.
QString FieldTail(int n, const QString& text, QChar separator);
// Field n alone.
QString Field(int n, const QString& text, QChar separator);
// Field n with "|" as the separator.
QString BarField(int n, const QString& text);
// a..z and а..я become capitals; everything else (ё included) stays.
QChar UpperChar(QChar c);
QString UpperText(const QString& text);
// Without leading and trailing characters of code 0x00 to 0x20.
QString TrimText(const QString& text);
// Seconds as h:mm:ss with as many hour digits as needed: 0:00:00, 1:02:05,
// 100:00:00. A negative count (a damaged profile) gets a "-" in front.
QString DurationText(qint64 seconds);
