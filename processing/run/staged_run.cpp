#include "processing/run/staged_run.h"

#include "processing/files/file_names.h"
#include "processing/run/line_copy.h"
#include "processing/run/run_steps.h"

namespace pellumar {

namespace {

// One step of the staged run: the first pass reads the chosen file, the
// others what this run committed last.
void stagedCopy(RunContext& run, const Pass& pass, LineStage& stage, SkipLogFile* log) {
  if (&pass == &passTable().front()) {
    copyThroughStage(run, run.paths.inputPath, stage, log);
  } else {
    rewriteOutput(run, stage, log);
  }
}

}  // namespace

void runStagedPass(RunContext& run, const Pass& pass) {
  const std::optional<SubtitleKind> kind = kindToWorkOn(run, pass);
  if (!kind) return;
  withSkipLog(run, pass.keepsSkipLog, [&](SkipLogFile* log) {
    for (const auto& stage : pass.stages({run.tables, *kind, log})) {
      stagedCopy(run, pass, *stage, log);
    }
  });
}

void runStaged(RunContext& run) {
  for (const Pass& pass : passTable()) {
    if (run.passes.contains(pass.id)) {
      runStagedPass(run, pass);
    } else if (pass.whenNotAsked == WhenNotAsked::CopyUnchanged) {
      LineRuleStage unchanged([](std::string&) {});
      stagedCopy(run, pass, unchanged, nullptr);
    } else if (pass.whenNotAsked == WhenNotAsked::MakeOutputWritable) {
      setNormalAttributes(run.paths.outputPath);
    }
  }
}

}  // namespace pellumar
