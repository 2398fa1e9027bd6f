#pragma once

#include <cstddef>
#include <cstdio>
#include <span>
#include <string>

#include "cli/cli_options.h"
#include "processing/run/processing_run.h"

namespace pellumar::cli {

/// What a FILE that names no regular file is: "No such file.", ...
std::string whyNotAFile(const std::string& file);

/// "read as X", or "read as X, written as Y" where the output's encoding or
/// byte-order mark differs from the input's.
std::string encodingLine(const RunOutcome& outcome);

/// A unified diff with its removed lines red, added lines green, hunk
/// headers cyan and file headers bold, as git colours them.
std::string coloured(const std::string& diff);

/// Prints what the run on each FILE has to say, in order, and keeps count.
class Report {
 public:
  Report(const CliOptions& options, std::FILE* out, std::FILE* err, bool colour)
      : options_(options), out_(out), err_(err), colour_(colour) {}

  /// Each FILE's stderr lines (with -v, first the encoding it was read in),
  /// then its stdout lines: "FILE -> OUTPUT" unless quiet, or with --diff
  /// the diff; stdout is flushed first, so that the order holds when both
  /// streams go to one terminal.
  void print(std::span<const RunOutcome> outcomes);

  /// "C cleaned, F failed, L left alone".
  std::string sum() const;
  std::size_t failed() const { return failed_; }

 private:
  std::string errorText(const RunOutcome& outcome) const;

  const CliOptions& options_;
  std::FILE* out_;
  std::FILE* err_;
  bool colour_;
  std::size_t cleaned_ = 0, failed_ = 0, leftAlone_ = 0;
};

}  // namespace pellumar::cli
