#pragma once

#include <optional>

#include "processing/file_ops.h"
#include "processing/job_paths.h"
#include "processing/settings.h"
#include "processing/subtitle_kind.h"
#include "processing/text_encoding.h"
#include "processing/window_system.h"

namespace pellumar {

/// The state one run shares with its passes.
struct RunContext {
  const Settings& settings;
  WindowSystem& window;
  JobPaths paths;
  TextEncoding encoding;             ///< of the chosen file, and so of the output
  std::optional<SubtitleKind> kind;  ///< of the chosen file, once a pass has asked
  FileDescriptor committed{};        ///< open on the file this run's latest pass put in place
};

}  // namespace pellumar
