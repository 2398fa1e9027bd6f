#include "processing/files/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "processing/files/run_failure.h"
#include "processing/files/system_calls.h"

namespace pellumar {

std::string fileErrorMessage(const char* verb, const std::string& path, int error) {
  return std::string("Cannot ") + verb + " \"" + path +
         "\": " + std::error_code(error, std::generic_category()).message() + ".";
}

bool fileExists(const std::string& path) {
  struct stat info {};
  return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

FileReader::FileReader(const std::string& path)
    : path_(path), fd_(PELLUMAR_SYSTEM(open)(path.c_str(), O_RDONLY | O_CLOEXEC, 0)) {
  if (!fd_) throw RunFailure(fileErrorMessage("read", path_, errno));
}

std::size_t FileReader::read(char* data, std::size_t size) {
  std::size_t done = 0;
  while (done < size && !atEnd_) {
    const ssize_t got = PELLUMAR_SYSTEM(read)(fd_.get(), data + done, size - done);
    if (got < 0) {
      if (errno == EINTR) continue;
      throw RunFailure(fileErrorMessage("read", path_, errno));
    }
    atEnd_ = got == 0;
    done += static_cast<std::size_t>(got);
  }
  return done;
}

std::string_view FileReader::next() {
  // Not zeroed: a small file is read whole before most of it is touched.
  if (!chunk_) chunk_ = std::make_unique_for_overwrite<char[]>(kChunkSize);
  return {chunk_.get(), read(chunk_.get(), kChunkSize)};
}

void writeAll(int fd, std::string_view bytes, const std::string& path) {
  while (!bytes.empty()) {
    const ssize_t done = PELLUMAR_SYSTEM(write)(fd, bytes.data(), bytes.size());
    if (done < 0) {
      if (errno == EINTR) continue;
      throw RunFailure(fileErrorMessage("write", path, errno));
    }
    bytes.remove_prefix(static_cast<std::size_t>(done));
  }
}

}  // namespace pellumar
