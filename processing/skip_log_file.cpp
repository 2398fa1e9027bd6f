#include "processing/skip_log_file.h"

#include "processing/file_ops.h"
#include "processing/system_calls.h"

namespace pellumar {

SkipLogFile::SkipLogFile(const std::string& path, const TextEncoding& encoding)
    : path_(path), writer_(path, encoding) {}

SkipLogFile::~SkipLogFile() {
  if (!settled_) systemCalls().unlink(path_.c_str());
}

void SkipLogFile::skipped(std::string_view entry) {
  writer_.writeLine(entry);
  ++entries_;
}

void SkipLogFile::close() { writer_.close(); }

void SkipLogFile::keepIfUsed() {
  writer_.close();
  if (entries_ == 0) deleteFile(path_);
  settled_ = true;
}

}  // namespace pellumar
