#pragma once
// The number ranges of the exercises: 0-9, 0-20, 0-99 and 0-999, each with
// its bound and the text that names its records table ("9", "20", "99",
// "999"); 0-20 at start.

#include <QString>
#include <QStringList>

#include <vector>

struct NumberRange {
    qint32 rangeBound = 20;
    QString rangeText = QStringLiteral("20");
};

// The four ranges, smallest first: the order of the range chooser.
const std::vector<NumberRange>& NumberRanges();
// Their texts in that order.
QStringList RangeTexts();
// "0-" and the range's text: the chooser's caption and the main window's label.
QString RangeCaption(const NumberRange& range);

// The range the exercises use now.
NumberRange& currentRange();
