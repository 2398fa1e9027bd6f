#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "processing/files/file_descriptor.h"

namespace pellumar {

/// "Cannot <verb> "<path>": <reason from errno>."
std::string fileErrorMessage(const char* verb, const std::string& path, int error);

/// True for an existing regular file, also through a symlink; false for a
/// folder or nothing.
bool fileExists(const std::string& path);

/// The one way the core reads a file: opened read-only, then read piece by
/// piece; a read that a signal interrupts is made again, and a piece is only
/// ever short at the end of the file. Every failure throws
/// RunFailure "Cannot read "<path>": <reason>.".
class FileReader {
 public:
  /// What next() reads at most: enough that the system calls cost little
  /// beside the work on the text, little enough to stay in the cache.
  static constexpr std::size_t kChunkSize = 1 << 16;

  explicit FileReader(const std::string& path);

  /// Reads `size` bytes into `data`, or what is left of the file when that
  /// is less; 0 at its end.
  std::size_t read(char* data, std::size_t size);
  /// The next kChunkSize bytes, or what is left; empty at the end of the
  /// file. Valid until the next call.
  std::string_view next();

 private:
  std::string path_;
  FileDescriptor fd_;
  std::unique_ptr<char[]> chunk_;
  // Once a read has found the end, there is nothing to ask the system for.
  bool atEnd_ = false;
};

/// Writes all of `bytes` to `fd`, going on after a short write and writing
/// again after a signal. Throws RunFailure "Cannot write "<path>": <reason>.".
void writeAll(int fd, std::string_view bytes, const std::string& path);

}  // namespace pellumar
