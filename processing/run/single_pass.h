#pragma once

#include "processing/run/run_context.h"

namespace pellumar {

/// The passes asked for composed into one read of the chosen file and one
/// commit. The kind detections come first, with their notes in the staged
/// run's order. The output and skip log are byte for byte those of the
/// staged run where singlePassMatchesStaged() holds.
void runSinglePass(RunContext& run);

/// False when the single pass cannot end the way the staged run would: when
/// reading back what a staged pass wrote may not give the same text (a
/// to-text the encoding does not carry unchanged, such as a character the
/// legacy code page cannot hold, which fails that pass), or when the chosen
/// file is UTF-16 or UTF-32 with a broken last unit (its read fails only
/// after detection). The staged run is then the one to use.
bool singlePassMatchesStaged(const RunContext& run);

}  // namespace pellumar
