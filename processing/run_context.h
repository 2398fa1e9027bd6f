#pragma once

#include <cstdint>
#include <limits>
#include <optional>

#include "processing/file_ops.h"
#include "processing/job_paths.h"
#include "processing/settings.h"
#include "processing/subtitle_kind.h"
#include "processing/text_encoding.h"
#include "processing/window_system.h"

namespace pellumar {

struct RuleTables;

/// The state one run shares with its passes.
struct RunContext {
  const Settings& settings;
  WindowSystem& window;
  JobPaths paths;
  TextEncoding encoding;               ///< of the chosen file, and so of the output
  std::optional<SubtitleKind> kind;    ///< of the chosen file, once a pass has asked
  FileDescriptor committed{};          ///< open on the file this run's latest pass put in place
  const RuleTables* tables = nullptr;  ///< built from `settings`; null: each pass builds its own
  /// The chosen file's bytes, when it was small enough to keep them from the
  /// look at its encoding; then it is not read again.
  std::optional<std::string> contents{};

  /// From this size of the chosen file on, the single pass works on
  /// threads, and so do the staged run's table passes (see
  /// copyThroughStages).
  std::uint64_t threadsFrom = std::numeric_limits<std::uint64_t>::max();

  /// The bytes to read instead of the chosen file, if any.
  const std::string* inputContents() const { return contents ? &*contents : nullptr; }
};

}  // namespace pellumar
