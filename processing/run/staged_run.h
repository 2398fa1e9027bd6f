#pragma once

#include "processing/run/run_context.h"

namespace pellumar {

/// Each pass asked for, and each pass that works when not asked, in turn: a
/// pass reads what the one before committed (the first reads the chosen
/// file), so a failure leaves the work of the passes before it in the output.
void runStaged(RunContext& run);

/// One pass of the staged run, asked for.
void runStagedPass(RunContext& run, const Pass& pass);

}  // namespace pellumar
