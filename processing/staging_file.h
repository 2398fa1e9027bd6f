#pragma once

#include <memory>
#include <string>

#include "processing/line_writer.h"

namespace pellumar {

/// A new file written beside its target. `commit` renames it over the target
/// in one step; without a commit the destructor removes it, so a failed pass
/// leaves no staging file behind.
class StagingFile {
 public:
  StagingFile(const std::string& stagingPath, const std::string& targetPath, TextEncoding encoding);
  ~StagingFile();
  StagingFile(const StagingFile&) = delete;
  StagingFile& operator=(const StagingFile&) = delete;

  LineWriter& writer() { return *writer_; }

  /// Closes the file and renames it over the target. Throws RunFailure.
  void commit();

 private:
  std::string stagingPath_;
  std::string targetPath_;
  std::unique_ptr<LineWriter> writer_;
  bool committed_ = false;
};

}  // namespace pellumar
