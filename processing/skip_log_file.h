#pragma once

#include <string>
#include <string_view>

#include "processing/line_stage.h"
#include "processing/line_writer.h"

namespace pellumar {

/// The skip log of blank-subtitle removal, as a file beside the output. It is
/// created (afresh) before the work starts; `keepIfUsed` closes it and deletes
/// it again when nothing was left out. Without that call the destructor
/// removes it, so a failed run leaves no partial log.
class SkipLogFile : public SkipLog {
 public:
  SkipLogFile(const std::string& path, const TextEncoding& encoding);
  ~SkipLogFile() override;
  SkipLogFile(const SkipLogFile&) = delete;
  SkipLogFile& operator=(const SkipLogFile&) = delete;

  void skipped(std::string_view entry) override;
  /// Writes out what the log holds and closes it. Throws RunFailure.
  void close();
  /// Closes the log and deletes it when nothing was left out; from then on
  /// the log stays. Throws RunFailure.
  void keepIfUsed();
  std::size_t entries() const { return entries_; }

 private:
  std::string path_;
  LineWriter writer_;
  std::size_t entries_ = 0;
  bool settled_ = false;
};

}  // namespace pellumar
