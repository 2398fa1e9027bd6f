#include "processing/files/file_descriptor.h"

#include <unistd.h>

#include "processing/files/system_calls.h"

namespace pellumar {

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) PELLUMAR_SYSTEM(close)(fd_);
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

FileDescriptor::~FileDescriptor() {
  if (fd_ >= 0) PELLUMAR_SYSTEM(close)(fd_);
}

std::string reopenPath(const FileDescriptor& fd) {
  return "/proc/self/fd/" + std::to_string(fd.get());
}

}  // namespace pellumar
