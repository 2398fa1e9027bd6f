#pragma once

#include <array>
#include <cstddef>
#include <optional>

#include "processing/passes/pipeline.h"
#include "processing/run/run_context.h"

namespace pellumar {

/// For each pass of the table, the kind it works on; empty for a pass not
/// asked for or that does not work on this file.
using PassKinds = std::array<std::optional<SubtitleKind>, kPassCount>;

/// The kinds the passes asked for work on, detected (and noted where the
/// file is of neither kind) in the order the staged run asks.
PassKinds kindsOfAskedPasses(RunContext& run);

/// The passes from `begin` to before `end` that work on this file, composed
/// into one pipeline. After a pass that may write what the output's encoding
/// cannot hold comes a check that fails where the staged run's write of
/// that pass would; the first pass is checked whether it runs or not, as
/// the staged run copies the text then.
Pipeline composePasses(const RunContext& run, const PassKinds& kinds, std::size_t begin,
                       std::size_t end, SkipLog* log);

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
