#pragma once

#include <cstddef>
#include <cstdio>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "processing/rule_tables.h"
#include "processing/settings.h"

namespace pellumar::cli {

/// What one FILE leaves for the user, printed once every earlier FILE is.
struct FileReport {
  std::string errorText;     ///< stderr lines, each ending in "\n"
  std::string progressText;  ///< the stdout line, or empty
  bool processed = false;    ///< the run ended Done
};

/// Indices of FILEs that must not run at the same time, each group in
/// command-line order and the groups ordered by their first FILE. FILEs share
/// a group when any of the names a run reads or writes (the FILE, its output,
/// staging and log file) is the same, compared as normalised absolute paths,
/// also through symlinks.
std::vector<std::vector<std::size_t>> groupFiles(const std::vector<std::string>& files,
                                                 const std::string& nameSuffix);

using FileTask = std::function<FileReport(const std::string& file)>;
using ReportSink = std::function<void(std::span<const FileReport>)>;

/// Runs `task` once for every FILE, up to `jobs` groups at once; within a
/// group one after another in command-line order. `sink` gets the reports in
/// command-line order on the calling thread, as soon as a FILE and all before
/// it are finished. A task that throws counts as not processed, its message
/// reported. Returns how many FILEs were not processed.
std::size_t runBatch(const std::vector<std::string>& files,
                     const std::vector<std::vector<std::size_t>>& groups, unsigned jobs,
                     const FileTask& task, const ReportSink& sink);

/// One processing run on `file` with `settings` and their `tables`, as the
/// open button would run it with the options' boxes ticked. Files that are
/// missing or no regular file are reported and not run.
FileReport processFile(const std::string& file, const Settings& settings, const RuleTables& tables,
                       const CliOptions& options);

/// Writes each report's stderr lines, then its stdout line, keeping that
/// order when both streams go to one terminal.
void printReports(std::span<const FileReport> reports, std::FILE* out, std::FILE* err);

}  // namespace pellumar::cli
