#pragma once

#include <optional>
#include <string>
#include <vector>

#include "processing/run/folder_walk.h"
#include "processing/run/processing_run.h"

namespace pellumar {

class BatchProgress;

/// What became of each file of a run over several: its run's outcome, or
/// nothing when the user cancelled before its turn.
using BatchOutcomes = std::vector<std::optional<RunOutcome>>;

/// Cleans `files` one after another as `request` says (its input aside).
/// Before each file `progress` may cancel the rest.
BatchOutcomes cleanEach(const std::vector<FileToClean>& files, const RunRequest& request,
                        BatchProgress& progress);

/// The one message that ends a run over several files: how many were cleaned
/// (and left alone, if any), then the files written, those that failed,
/// those left alone and those cancelled, each with its messages indented
/// below it. Lines end in CR LF, as the program's messages do.
std::string batchSummary(const std::vector<FileToClean>& files, const BatchOutcomes& outcomes);

/// What a run that did not clean its file has to say: "No such file." for a
/// name that is no file, else why it failed.
std::string failureText(const RunOutcome& outcome);

}  // namespace pellumar
