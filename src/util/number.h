#pragma once
// The one number syntax for everything typed or read from stored text:
// leading blanks, optional "-" or "+", then decimal digits or a hexadecimal
// number after "$", "x", "X", "0x" or "0X"; nothing after the digits; the
// value, with its sign, fits a signed 32-bit integer in either base:
// $7FFFFFFF and -$80000000 are numbers, $80000000 and $FFFFFFFF are not.

#include <QString>
#include <optional>

std::optional<qint32> ParseNumber(const QString& text);

// Sums of scores and totals wrap around at 32 bits, as stored values do.
qint32 AddWrapping(qint32 a, qint32 b);
