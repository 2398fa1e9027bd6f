#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "processing/files/temporary_file.h"
#include "processing/passes/line_stage.h"
#include "processing/text/line_writer.h"

namespace pellumar {

/// The skip log of blank-subtitle removal, as a file beside the output. It is
/// written under a name of this run's own (see TemporaryFile), made before the
/// work starts; `keepIfUsed` closes it and renames it to `path`, or, when
/// nothing was left out, removes it and any earlier log at `path`. Without
/// that call the destructor removes it, so a failed run leaves no partial log
/// and the earlier one as it was.
class SkipLogFile : public SkipLog {
 public:
  /// Throws RunFailure, also when a folder stands at `path`, where the log
  /// could never be put.
  SkipLogFile(const std::string& path, const TextEncoding& encoding);
  SkipLogFile(const SkipLogFile&) = delete;
  SkipLogFile& operator=(const SkipLogFile&) = delete;

  void skipped(std::string_view entry) override;
  /// Writes out what the log holds and closes it. Throws RunFailure.
  void close();
  /// Closes the log and puts it in place, or deletes the log at `path` when
  /// nothing was left out. Returns the number of entries. Throws RunFailure.
  std::size_t keepIfUsed();

 private:
  std::string path_;
  TemporaryFile file_;
  LineWriter writer_;
  std::size_t entries_ = 0;
};

}  // namespace pellumar
