#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <string>

#include "processing/job_paths.h"
#include "processing/run_context.h"
#include "processing/settings.h"
#include "processing/text_encoding.h"
#include "processing/window_system.h"

namespace pellumar {

inline constexpr const char* kOpenDialogTitle = "Open Subtitle File";
inline constexpr const char* kSubtitleFilter =
    "(*.sub;*.srt;*.txt)|*.sub;*.srt;*.txt|all files (*.*)|*.*";
inline constexpr const char* kDoneMessage = "Done.";

enum class RunOutcome {
  NothingChosen,  ///< cancelled, or the name is no file: nothing happened
  Done,           ///< every pass finished
  Failed,         ///< a failure was shown; the output holds the last finished pass
};

/// The size from which a file is worth a second thread: below it, starting
/// the thread costs more than it saves.
inline constexpr std::uint64_t kThreadsWorthFrom = std::uint64_t{1} << 20;

/// How the passes reach the disk.
enum class RunMode {
  Staged,      ///< each pass reads the output and commits a staging file
  SinglePass,  ///< one read of the chosen file through every pass, one commit
};

/// Cleaning of one file: derives the names, runs the ticked passes in their
/// fixed order and shows what failed.
class ProcessingRun {
 public:
  /// `tables`, when given, are those of `settings`, shared with other runs.
  ProcessingRun(const Settings& settings, WindowSystem& window, RunMode mode = RunMode::Staged,
                const RuleTables* tables = nullptr)
      : settings_(settings), window_(window), mode_(mode), tables_(tables) {}

  /// One click on the open button: asks for a file and cleans it as
  /// cleanAndConfirm() does.
  RunOutcome run();

  /// Cleans `path` and says "Done." when every pass finished.
  RunOutcome cleanAndConfirm(const std::string& path);

  /// Cleans `path` with the ticked passes. Failures and warnings go to the
  /// window system as messages; success is only returned, so that a caller
  /// cleaning many files can report them together.
  RunOutcome clean(const std::string& path);

  /// From this size of the chosen file on, the single pass runs its later
  /// passes on a thread of their own, and the staged run lets two threads
  /// take turns at the table passes' lines (see copyThroughStages); by
  /// default neither does.
  void useThreadsFrom(std::uint64_t size) { threadsFrom_ = size; }

  /// The names of the latest run.
  const JobPaths& paths() const { return paths_; }
  /// The encoding the latest run read the chosen file in; empty when it
  /// ended before reading it.
  const std::optional<TextEncoding>& encoding() const { return encoding_; }

 private:
  bool cleanCheckingUtf8(const CodePageCandidates& pages);
  void cleanIn(TextEncoding encoding, std::optional<std::string> contents, WindowSystem& window);

  const Settings& settings_;
  WindowSystem& window_;
  RunMode mode_;
  const RuleTables* tables_;
  JobPaths paths_;
  std::optional<TextEncoding> encoding_;
  std::uint64_t threadsFrom_ = std::numeric_limits<std::uint64_t>::max();
};

}  // namespace pellumar
