#include "processing/skip_log_file.h"

namespace pellumar {

SkipLogFile::SkipLogFile(const std::string& path, const TextEncoding& encoding)
    : path_(path), file_(path), writer_(path, encoding, {}, file_.duplicate().release()) {}

void SkipLogFile::skipped(std::string_view entry) {
  writer_.writeLine(entry);
  ++entries_;
}

void SkipLogFile::close() { writer_.close(); }

void SkipLogFile::keepIfUsed() {
  writer_.close();
  if (entries_ == 0) {
    // No log of an earlier run stays beside this run's output.
    file_.discard();
    deleteFile(path_);
  } else {
    file_.renameOver(path_);
  }
}

}  // namespace pellumar
