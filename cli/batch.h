#pragma once

#include <cstddef>
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

/// Cleans the FILE of that index; must not throw.
using FileTask = std::function<RunOutcome(std::size_t index)>;
using OutcomeSink = std::function<void(std::span<const RunOutcome>)>;

/// Runs `task` once for every FILE, up to `jobs` groups at once; within a
/// group one after another in command-line order. `sink` gets the outcomes in
/// command-line order on the calling thread, as soon as a FILE and all before
/// it are finished.
void runBatch(const std::vector<std::string>& files,
              const std::vector<std::vector<std::size_t>>& groups, unsigned jobs,
              const FileTask& task, const OutcomeSink& sink);

}  // namespace pellumar::cli
