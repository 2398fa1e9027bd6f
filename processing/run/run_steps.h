#pragma once

#include <optional>

#include "processing/run/run_context.h"
#include "processing/run/skip_log_file.h"

namespace pellumar {

// What the staged run and the single pass do alike around their passes.

/// The kind of the chosen file, detected the first time a pass of this run
/// asks (the chosen file is only ever read, so later asks reuse it); when
/// the file is of neither kind, notes so, naming the asking pass.
SubtitleKind detectKindAndNote(RunContext& run, const Pass& asking);

/// The kind a pass works on, or nothing when the pass does not work on
/// this file. Passes that need no kind work on any file.
std::optional<SubtitleKind> kindToWorkOn(RunContext& run, const Pass& pass);

/// Runs `work` with the skip log open when `keepsLog`. The log is made before
/// the work starts, so that no log of an earlier run survives under its name
/// and a folder at its name fails the pass before it writes anything; the
/// copy closes it before its commit (see copyThroughStage), and after the
/// commit it is put in place, or removed when nothing was left out. A
/// failure removes it again.
template <typename Work>
void withSkipLog(RunContext& run, bool keepsLog, Work work) {
  std::optional<SkipLogFile> log;
  if (keepsLog) log.emplace(run.paths.logPath, run.output);
  work(log ? &*log : nullptr);
  if (log) run.skipped += log->keepIfUsed();
}

}  // namespace pellumar
