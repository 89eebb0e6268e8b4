#include "records/number_range.h"

#include "platform/process_state.h"

const std::vector<NumberRange>& NumberRanges()
{
    static const std::vector<NumberRange> ranges = {{9, QStringLiteral("9")},
                                                    {20, QStringLiteral("20")},
                                                    {99, QStringLiteral("99")},
                                                    {999, QStringLiteral("999")}};
    return ranges;
}

QStringList RangeTexts()
{
    QStringList texts;
    for (const NumberRange& range : NumberRanges())
        texts << range.rangeText;
    return texts;
}

QString RangeCaption(const NumberRange& range) { return QStringLiteral("0-") + range.rangeText; }

NumberRange& currentRange() { return StatePart<NumberRange>(); }
