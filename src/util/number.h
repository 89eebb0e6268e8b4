#pragma once
// The one number syntax for everything typed or read from stored text:
// leading blanks, optional "-" or "+", then decimal digits or a hexadecimal
// number after "$", "x", "X", "0x" or "0X"; nothing after the digits; the
// value fits a signed 32-bit integer. A hexadecimal number is a 32-bit
// pattern taken as signed: $FFFFFFFF is -1, and "-" negates that value.

#include <QString>
#include <optional>

std::optional<qint32> ParseNumber(const QString& text);
