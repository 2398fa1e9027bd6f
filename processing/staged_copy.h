#pragma once

#include <string>

#include "processing/file_ops.h"
#include "processing/line_stage.h"
#include "processing/run_context.h"

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
///
/// Given `copy`, a second instance of a `stage` that changes lines alone,
/// the writing goes to a second thread, which takes turns with the reading
/// one at the stage's work (see copyThroughStages).
void copyThroughStage(RunContext& run, const std::string& source, LineStage& stage,
                      SkipLogFile* log = nullptr, LineStage* copy = nullptr);

/// The same through `front` and then `back`, which works on a second thread
/// (see HandOffSink), and the check of a file read as UTF-8 on a third (see
/// Utf8Check): a large file is copied in about the time the slower of the
/// two stages takes. Given `frontCopy`, a second `front` that changes lines
/// alone, the second thread takes on part of the front's work whenever it
/// would otherwise wait, and the time nears half of both together.
void copyThroughStages(RunContext& run, const std::string& source, LineStage& front,
                       LineStage& back, SkipLogFile* log = nullptr, LineStage* frontCopy = nullptr);

/// The same with what this run committed last as the source, as every pass
/// after the first does.
void rewriteOutput(RunContext& run, LineStage& stage, SkipLogFile* log = nullptr,
                   LineStage* copy = nullptr);

}  // namespace pellumar
