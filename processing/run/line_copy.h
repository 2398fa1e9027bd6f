#pragma once

#include <string>

#include "processing/passes/line_stage.h"
#include "processing/run/run_context.h"

namespace pellumar {

class SkipLogFile;
class StagingFile;

/// Makes sure the owner may write the staging file and renames it over the
/// output. Returns a descriptor open on the committed file. Throws RunFailure.
FileDescriptor commitStaging(StagingFile& staging);

/// The line copy every pass is built on: reads `source` line by line through
/// `stage` into a staging file of this run's own, then commits it over the
/// output and keeps it open in `run.committed`. Throws RunFailure; a failed
/// copy leaves no staging file and the output as it was. A skip log the
/// stage writes to is closed once the output's text is written out, before
/// the commit, so that a log that cannot be written fails the copy too.
void copyThroughStage(RunContext& run, const std::string& source, LineStage& stage,
                      SkipLogFile* log = nullptr);

/// A name to read what this run committed last, even if another run on the
/// same file has put its own output in place since; the output's name only
/// where /proc is missing.
std::string committedOutput(const RunContext& run);

/// The same with what this run committed last as the source, as every pass
/// after the first does.
void rewriteOutput(RunContext& run, LineStage& stage, SkipLogFile* log = nullptr);

}  // namespace pellumar
