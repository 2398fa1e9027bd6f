#pragma once

#include "processing/run_context.h"

namespace pellumar {

/// The same passes as the staged run, composed into one read of the chosen
/// file and one commit. The kind detections come first, with their messages
/// in the staged run's order. The output and skip log are byte for byte
/// those of the staged run.
void runSinglePass(RunContext& run);

}  // namespace pellumar
