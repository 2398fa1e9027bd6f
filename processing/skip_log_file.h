#pragma once

#include <string>
#include <string_view>

#include "processing/file_ops.h"
#include "processing/line_stage.h"
#include "processing/line_writer.h"

namespace pellumar {

/// The skip log of blank-subtitle removal, as a file beside the output. It is
/// written under a name of this run's own (see TemporaryFile), made before the
/// work starts; `keepIfUsed` closes it and renames it to `path`, or, when
/// nothing was left out, removes it and any earlier log at `path`. Without
/// that call the destructor removes it, so a failed run leaves no partial log
/// and the earlier one as it was.
class SkipLogFile : public SkipLog {
 public:
  SkipLogFile(const std::string& path, const TextEncoding& encoding);
  SkipLogFile(const SkipLogFile&) = delete;
  SkipLogFile& operator=(const SkipLogFile&) = delete;

  void skipped(std::string_view entry) override;
  /// Writes out what the log holds and closes it. Throws RunFailure.
  void close();
  /// Closes the log and puts it in place, or deletes the log at `path` when
  /// nothing was left out. Throws RunFailure.
  void keepIfUsed();

 private:
  std::string path_;
  TemporaryFile file_;
  LineWriter writer_;
  std::size_t entries_ = 0;
};

}  // namespace pellumar
