#include "processing/run/skip_log_file.h"

#include "processing/files/file_names.h"

namespace pellumar {

namespace {

const std::string& checkedLogPath(const std::string& path) {
  checkNoFolderAt(path);
  return path;
}

}  // namespace

SkipLogFile::SkipLogFile(const std::string& path, const TextEncoding& encoding)
    : path_(checkedLogPath(path)),
      file_(path),
      writer_(path, encoding, {}, file_.duplicate().release()) {}

void SkipLogFile::skipped(std::string_view entry) {
  writer_.writeLine(entry);
  ++entries_;
}

void SkipLogFile::close() { writer_.close(); }

std::size_t SkipLogFile::keepIfUsed() {
  writer_.close();
  if (entries_ == 0) {
    // No log of an earlier run stays beside this run's output.
    file_.discard();
    deleteFile(path_);
  } else {
    file_.renameOver(path_);
  }
  return entries_;
}

}  // namespace pellumar
