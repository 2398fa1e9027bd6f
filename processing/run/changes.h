#pragma once

#include <string>
#include <vector>

#include "processing/run/run_context.h"

namespace pellumar {

/// What the passes asked for make of the chosen file's lines, in one read
/// of it as the single pass does, written nowhere.
struct Preview {
  std::vector<std::string> before;  ///< the chosen file's lines
  std::vector<std::string> after;   ///< the output's lines, as they would be
  bool otherLineEnds = false;       ///< some line of the chosen file ends otherwise than in CR LF
};

/// Throws RunFailure where a run would fail.
Preview runPreview(RunContext& run);

/// The chosen file's lines and those of the output this run put in place,
/// read back. Throws RunFailure when either cannot be read.
Preview readChanges(const RunContext& run);

}  // namespace pellumar
