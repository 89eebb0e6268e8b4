#include "records/number_range.h"

NumberRange& currentRange()
{
    static NumberRange range;
    return range;
}
