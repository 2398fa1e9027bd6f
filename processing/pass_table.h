#pragma once

#include <memory>
#include <span>
#include <vector>

#include "processing/line_stage.h"
#include "processing/options.h"
#include "processing/run_context.h"

namespace pellumar {

class SkipLogFile;

/// What a pass builds its line stages from.
struct PassInput {
  const Settings& settings;
  SubtitleKind kind;                   ///< of the chosen file, for a pass that needs it
  SkipLogFile* log;                    ///< open for a pass that keeps the skip log
  const RuleTables* tables = nullptr;  ///< built from `settings`, when the run has them
};

/// What a pass does when its box is not ticked.
enum class WhenUnticked {
  Nothing,
  CopyUnchanged,    ///< it still copies the text, unchanged
  UnlockTheOutput,  ///< it makes the output owner-writable (see setNormalAttributes)
};

/// One entry of the pass table.
struct Pass {
  Option option;  ///< the box that ticks it; its caption names it to the user
  WhenUnticked whenUnticked = WhenUnticked::Nothing;
  /// Null for a pass that works on any text. Otherwise the pass needs the
  /// kind of the chosen file and works only where this says the kind fits;
  /// a file of neither kind is reported as "Unknown subtitle type" naming
  /// the pass's option.
  bool (*kindFits)(const SubtitleKind&) = nullptr;
  /// The table whose to-texts the pass may write besides the text it reads;
  /// null when it writes nothing but what it reads.
  const std::vector<TextPair> Settings::*writes = nullptr;
  bool keepsSkipLog = false;       ///< lists what it leaves out in the skip log
  bool mayStopOnOverlong = false;  ///< its stage may throw OverlongBlock
  /// The pass's line stages in order; in the staged run each is a rewrite of
  /// the output of its own.
  std::vector<std::unique_ptr<LineStage>> (*stages)(const PassInput&);
};

/// The passes in the order they run: A substitutes local characters, B
/// replaces strings, C removes formatting codes, D deletes redundant spaces,
/// E deletes blank subtitles, F fixes SubRip blank lines.
std::span<const Pass> passTable();

/// Each ticked pass, and each pass that works unticked, in turn: a pass reads
/// what the one before committed (the first reads the chosen file), so a
/// failure leaves the work of the passes before it in the output.
void runStaged(RunContext& run);

/// One ticked pass of the staged run.
void runStagedPass(RunContext& run, const Pass& pass);

/// The same passes composed into one read of the chosen file and one commit.
/// The kind detections come first, with their messages in the staged run's
/// order. The output and skip log are byte for byte those of the staged run
/// where singlePassMatchesStaged() holds.
void runSinglePass(RunContext& run);

/// Detects the kind of the chosen file the first time a pass of this run
/// asks (the chosen file is only ever read, so later asks reuse it) and tells
/// the user, naming `askingOption`, when the file is of neither kind.
SubtitleKind detectKindAndReport(RunContext& run, Option askingOption);

}  // namespace pellumar
