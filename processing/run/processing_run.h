#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "processing/passes/pass_table.h"
#include "processing/passes/rule_tables.h"
#include "processing/run/job_paths.h"
#include "processing/run/settings.h"
#include "processing/text/text_encoding.h"

namespace pellumar {

/// How the passes reach the disk.
enum class RunMode {
  Staged,      ///< each pass reads the output and puts a staging file in its place
  SinglePass,  ///< one read of the chosen file through every pass, one file put in place
  Preview,     ///< the single pass's read and passes, and nothing written at all
};

/// What to clean and how.
struct RunRequest {
  const Settings& settings;
  std::string input{};  ///< the file to clean, as named; it is only ever read
  PassSet passes = PassSet::defaults();
  RunMode mode = RunMode::Staged;
  /// Built from `settings` and shared by the runs of a batch; null: the run
  /// builds its own.
  const RuleTables* tables = nullptr;
  /// The input was found in a folder rather than named: a file that is no
  /// text is left alone rather than failed.
  bool foundInFolder = false;
  /// Of a file found in a folder: one of neither subtitle kind is left alone.
  bool onlySubtitles = false;
  /// Also say in the outcome's `changes` what the run changed. A preview
  /// always does.
  bool showChanges = false;
};

/// What a run did.
struct RunOutcome {
  enum class Ending {
    Cleaned,    ///< every pass finished; the output holds the result (a preview: would)
    NotAFile,   ///< the input names no regular file: nothing was done
    LeftAlone,  ///< a file found in a folder that is no subtitle file: nothing was done
    Failed,     ///< see `failure`; what the run left is in kFailurePolicy
  };

  Ending ending = Ending::NotAFile;
  JobPaths paths;  ///< the names derived from the input
  /// The encoding the input was read in; empty when the run ended before
  /// reading it.
  std::optional<TextEncoding> readAs;
  /// The encoding the output is written in, known with `readAs`.
  std::optional<TextEncoding> writtenAs;
  /// The output's path when the run ended Cleaned (and was no preview), else
  /// empty.
  std::string output;
  /// How many subtitles blank-subtitle removal left out, and the log that
  /// lists them (empty when none were), also when a later pass failed.
  std::size_t skipped = 0;
  std::string log;
  /// What the user is told along the way (a file of neither kind), in order.
  std::vector<std::string> notes;
  /// Why the run failed, naming the file, in plain words.
  std::optional<std::string> failure;
  /// Why a file found in a folder was left alone: "not a text subtitle
  /// file", "no subtitles in it", ...
  std::string leftAlone;
  /// With a preview or `showChanges`: the text lines before and after, as
  /// a unified diff from the input to the output; empty when none changed.
  std::string changes;
  /// With a preview: some line of the input ends otherwise than in CR LF, as
  /// every line of the output does.
  bool lineEndsChange = false;

  bool cleaned() const { return ending == Ending::Cleaned; }
};

/// The ways a started run can fail.
enum class FailureKind {
  FileOperation,    ///< a file cannot be read, written or put in place
  FolderAtLogName,  ///< a folder (or other non-file) stands at the skip log's name
  CannotHold,       ///< a character the output's code page cannot hold
  OverlongBlock,    ///< a SubRip block too long to buffer
};

/// What a failed run leaves at the output name and the skip log's: the
/// files as they stood before the run, or the result of the last pass that
/// finished. A pass that failed never leaves its own result, and an output
/// is only ever put in place together with its skip log.
enum class FailureLeaves { EarlierFiles, LastFinishedPass };

struct FailurePolicy {
  FailureKind kind;
  FailureLeaves staged;
  FailureLeaves singlePass;
};

/// The staged run commits pass by pass, so it always leaves the last
/// finished one. The single pass puts its output in place once, at the end,
/// so a failure leaves the earlier files; but a block too long to buffer
/// stops blank-subtitle removal alone, and the output gets what the passes
/// before it made, as in the staged run. A preview writes nothing, ever.
inline constexpr FailurePolicy kFailurePolicy[] = {
    {FailureKind::FileOperation, FailureLeaves::LastFinishedPass, FailureLeaves::EarlierFiles},
    {FailureKind::FolderAtLogName, FailureLeaves::LastFinishedPass, FailureLeaves::EarlierFiles},
    {FailureKind::CannotHold, FailureLeaves::LastFinishedPass, FailureLeaves::EarlierFiles},
    {FailureKind::OverlongBlock, FailureLeaves::LastFinishedPass, FailureLeaves::LastFinishedPass},
};

constexpr FailureLeaves whatFailureLeaves(FailureKind kind, RunMode mode) {
  if (mode == RunMode::Preview) return FailureLeaves::EarlierFiles;
  for (const FailurePolicy& row : kFailurePolicy) {
    if (row.kind == kind) return mode == RunMode::Staged ? row.staged : row.singlePass;
  }
  return FailureLeaves::EarlierFiles;
}

/// Cleans `request.input` with the passes asked for, in their fixed order,
/// and says what came of it. Never throws: every failure is in the outcome.
RunOutcome clean(const RunRequest& request);

}  // namespace pellumar
