#include "records/number_range.h"

#include "platform/process_state.h"

NumberRange& currentRange() { return StatePart<NumberRange>(); }
