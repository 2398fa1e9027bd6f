#include "processing/staging_file.h"

#include "processing/file_ops.h"
#include "processing/system_calls.h"

namespace pellumar {

StagingFile::StagingFile(const std::string& stagingPath, const std::string& targetPath,
                         TextEncoding encoding)
    : stagingPath_(stagingPath),
      targetPath_(targetPath),
      writer_(std::make_unique<LineWriter>(stagingPath, std::move(encoding), targetPath)) {}

StagingFile::~StagingFile() {
  if (committed_) return;
  writer_.reset();
  systemCalls().unlink(stagingPath_.c_str());
}

void StagingFile::commit() {
  // Close before the rename, so that everything written is in the file the
  // target's name then points to.
  writer_->close();
  renameFile(stagingPath_, targetPath_);
  committed_ = true;
}

}  // namespace pellumar
