#pragma once

#include <memory>
#include <string>

#include "processing/files/temporary_file.h"
#include "processing/text/line_writer.h"

namespace pellumar {

/// A new file of this run alone, written beside its target under a name made
/// from `stagingBase` (see TemporaryFile). `commit` renames it over the target
/// in one step; without a commit the destructor removes it, so a failed pass
/// leaves no staging file behind.
class StagingFile {
 public:
  StagingFile(const std::string& stagingBase, const std::string& targetPath, TextEncoding encoding);
  ~StagingFile();
  StagingFile(const StagingFile&) = delete;
  StagingFile& operator=(const StagingFile&) = delete;

  LineWriter& writer() { return *writer_; }

  /// Closes the file, gives its owner write permission and renames it over
  /// the target. Returns a descriptor open on the file now at the target.
  /// Throws RunFailure.
  FileDescriptor commit();

 private:
  TemporaryFile file_;
  std::string targetPath_;
  std::unique_ptr<LineWriter> writer_;
};

}  // namespace pellumar
