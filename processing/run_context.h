#pragma once

#include <string>

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
  TextEncoding encoding;    ///< of the chosen file, and so of the output
  SubtitleKind kind;        ///< written by each kind detection
  std::string currentOptionLabel;  ///< the asking option's caption in quotes, during detection
  FileDescriptor committed{};  ///< open on the file this run's latest pass put in place
};

/// Detects the kind of the chosen file for the option whose pass asks, with
/// `currentOptionLabel` set around it, and tells the user when the file is of
/// neither kind.
SubtitleKind askSubtitleKind(RunContext& run, Option askingOption);

/// The same with the kind this run has detected already, for a second option
/// that asks: the chosen file is only ever read, so detection would find the
/// same again. The message is shown all the same.
SubtitleKind askSubtitleKind(RunContext& run, Option askingOption, const SubtitleKind& detected);

}  // namespace pellumar
