#pragma once

#include "processing/run_context.h"

namespace pellumar {

/// False when the single pass cannot end the way the staged run would: when
/// reading back what a staged pass wrote may not give the same text (a
/// to-text the encoding does not carry unchanged, such as a character the
/// legacy code page cannot hold, which fails that pass), or when the chosen
/// file is UTF-16 or UTF-32 with a broken last unit (its read fails only
/// after detection). The staged run is then the one to use.
bool singlePassMatchesStaged(RunContext& run);

}  // namespace pellumar
