#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "processing/files/file_descriptor.h"
#include "processing/passes/pass_table.h"
#include "processing/passes/rule_tables.h"
#include "processing/passes/subtitle_kind.h"
#include "processing/run/job_paths.h"
#include "processing/run/settings.h"
#include "processing/text/text_encoding.h"

namespace pellumar {

/// The state one run shares with its passes.
struct RunContext {
  const Settings& settings;
  const RuleTables& tables;  ///< built from `settings`
  PassSet passes;            ///< those asked for
  JobPaths paths;
  TextEncoding input;                ///< the chosen file's encoding
  TextEncoding output;               ///< the output's and the skip log's
  std::optional<SubtitleKind> kind;  ///< of the chosen file, once a pass has asked
  FileDescriptor committed{};        ///< open on the file this run's latest pass put in place
  /// The chosen file's bytes, when it was small enough to keep them from the
  /// look at its encoding; then it is not read again.
  std::optional<std::string> contents{};
  std::vector<std::string> notes{};  ///< what the user is told, in order
  std::size_t skipped = 0;           ///< subtitles listed in the skip log put in place

  /// The bytes to read instead of the chosen file, if any.
  const std::string* inputContents() const { return contents ? &*contents : nullptr; }
};

}  // namespace pellumar
