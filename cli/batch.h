#pragma once

#include <cstddef>
#include <cstdio>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "processing/passes/rule_tables.h"
#include "processing/run/settings.h"

namespace pellumar::cli {

/// Indices of FILEs that must not run at the same time, each group in
/// command-line order and the groups ordered by their first FILE. FILEs share
/// a group when any of the names a run reads or writes (the FILE, its output,
/// staging and log file) is the same, compared as normalised absolute paths,
/// also through symlinks.
std::vector<std::vector<std::size_t>> groupFiles(const std::vector<std::string>& files,
                                                 const std::string& nameSuffix);

/// Cleans one FILE; must not throw.
using FileTask = std::function<RunOutcome(const std::string& file)>;
using OutcomeSink = std::function<void(std::span<const RunOutcome>)>;

/// Runs `task` once for every FILE, up to `jobs` groups at once; within a
/// group one after another in command-line order. `sink` gets the outcomes in
/// command-line order on the calling thread, as soon as a FILE and all before
/// it are finished. Returns how many FILEs were not cleaned.
std::size_t runBatch(const std::vector<std::string>& files,
                     const std::vector<std::vector<std::size_t>>& groups, unsigned jobs,
                     const FileTask& task, const OutcomeSink& sink);

/// What a FILE that names no regular file is: "Is a folder, not a file.", ...
std::string whyNotAFile(const std::string& file);

/// "read as X", or "read as X, written as Y" where the output's encoding or
/// byte-order mark differs from the input's.
std::string encodingLine(const RunOutcome& outcome);

/// Writes what a run on each FILE has to say: its stderr lines (with
/// `verbose`, first the encoding it was read in), then, unless `quiet`, its
/// "FILE -> OUTPUT" line, keeping that order when both streams go to one
/// terminal.
void printOutcomes(std::span<const RunOutcome> outcomes, const CliOptions& options, std::FILE* out,
                   std::FILE* err);

}  // namespace pellumar::cli
