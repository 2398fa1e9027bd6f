#include "processing/run/staging_file.h"

#include "processing/files/file_names.h"

namespace pellumar {

StagingFile::StagingFile(const std::string& stagingBase, const std::string& targetPath,
                         TextEncoding encoding)
    : file_(stagingBase), targetPath_(targetPath) {
  // Messages name the target: that is the file the user knows.
  writer_ = std::make_unique<LineWriter>(targetPath, std::move(encoding), targetPath,
                                         file_.duplicate().release());
}

StagingFile::~StagingFile() {
  // The file goes (in file_'s destructor) after the writer's descriptor.
  writer_.reset();
}

FileDescriptor StagingFile::commit() {
  // Close before the rename, so that everything written is in the file the
  // target's name then points to.
  writer_->close();
  setNormalAttributes(file_.path());
  file_.renameOver(targetPath_);
  return file_.release();
}

}  // namespace pellumar
