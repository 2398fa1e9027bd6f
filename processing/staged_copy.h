#pragma once

#include <string>

#include "processing/line_stage.h"
#include "processing/run_context.h"

namespace pellumar {

class StagingFile;

/// Renames the staging file over the output and makes sure its owner may
/// write it. Throws RunFailure.
void commitStaging(StagingFile& staging, const JobPaths& paths);

/// The line copy every pass is built on: reads `source` line by line through
/// `stage` into the staging file, then commits the staging file over the
/// output. Throws RunFailure; a failed copy leaves no staging file.
void copyThroughStage(RunContext& run, const std::string& source, LineStage& stage);

/// The same with the output as the source, as every pass after the first does.
void rewriteOutput(RunContext& run, LineStage& stage);

}  // namespace pellumar
