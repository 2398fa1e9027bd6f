#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/output_text.h"
#include "processing/passes/pass_table.h"
#include "processing/run/processing_run.h"
#include "processing/text/code_page.h"
#include "processing/text/text_encoding.h"

namespace pellumar::cli {

/// What the command line asked for.
struct CliOptions {
  PassSet passes = PassSet::defaults();
  std::optional<std::string> settingsFile;  ///< empty: lexmend.ini from the working folder
  unsigned jobs = 1;                        ///< files processed at once, at least 1
  bool quiet = false;
  bool verbose = false;  ///< say which encoding each FILE was read in
  /// From --codepage: overrides the settings' CODEPAGE.
  std::optional<CodePageCandidates> codePages;
  /// From --output-codepage: overrides OUTPUTCODEPAGE; an empty encoding
  /// means "same".
  std::optional<std::optional<TextEncoding>> outputEncoding;
  /// From --suffix: overrides NAMESUFIXADD.
  std::optional<std::string> suffix;
  RunMode mode = RunMode::SinglePass;  ///< Preview with --diff
  bool recursive = false;              ///< a FILE that is a folder is walked
  enum class Color { Auto, Always, Never };
  Color color = Color::Auto;       ///< of the diff; Auto: when standard output is a terminal
  std::vector<std::string> files;  ///< exactly as given, in command-line order
};

/// The outcome of reading argv: either options to run with, or text to print
/// and an exit status (help, version, bad usage).
struct CommandLine {
  std::optional<CliOptions> options;
  int exitStatus = 0;
  std::string out;  ///< for stdout
  std::string err;  ///< for stderr
};

/// Exit statuses of the program.
inline constexpr int kExitAllProcessed = 0;
inline constexpr int kExitSomeNotProcessed = 1;
inline constexpr int kExitBadUsage = 2;

/// Reads the command line; never prints and never exits. `defaultJobs` is
/// what -j means when it is not given.
CommandLine parseCommandLine(int argc, const char* const* argv, unsigned defaultJobs);

/// The number of CPUs, at least 1.
unsigned cpuCount();

}  // namespace pellumar::cli
