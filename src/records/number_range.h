#pragma once
// The current number range: 9/"9", 20/"20", 99/"99" or 999/"999"; 0-20 at start.

#include <QString>

struct NumberRange {
    qint32 rangeBound = 20;
    QString rangeText = QStringLiteral("20");
};

NumberRange& currentRange();
