#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

namespace pellumar {

/// True for an existing regular file, also through a symlink; false for a
/// folder or nothing.
bool fileExists(const std::string& path);

/// Removes a file if one stands at `path` (a symlink itself, not its target).
/// Throws RunFailure when something stays there.
void deleteFile(const std::string& path);

/// Renames `from` over `to` in one step. Throws RunFailure.
void renameFile(const std::string& from, const std::string& to);

/// Makes a file owner-writable, as a file the run replaces or removes must
/// be; other files and what is writable already stay as they are. Throws
/// RunFailure.
void setNormalAttributes(const std::string& path);

/// Creates a new empty file for writing at `path`, removing whatever stands
/// there first; never follows a symlink. Returns the descriptor. Throws
/// RunFailure (also when a folder stands at the name).
int createFresh(const std::string& path);

/// "Cannot <verb> "<path>": <reason from errno>."
std::string fileErrorMessage(const char* verb, const std::string& path, int error);

/// An open file descriptor, closed when the object goes.
class FileDescriptor {
 public:
  FileDescriptor() = default;
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(FileDescriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  FileDescriptor& operator=(FileDescriptor&& other) noexcept;
  ~FileDescriptor();

  int get() const { return fd_; }
  /// Gives the descriptor up without closing it.
  int release() { return std::exchange(fd_, -1); }
  explicit operator bool() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

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

/// The name of the run's own file number `slot` beside `base`: "<base>.<slot>.tmp".
std::string temporaryName(const std::string& base, unsigned slot);

/// True when `name` is temporaryName(`base`, n) for some n.
bool isTemporaryName(const std::string& name, const std::string& base);

/// A new file that belongs to this run alone, named "<base>.<n>.tmp" with the
/// lowest n free, created with O_EXCL and locked (flock) from its creation
/// until it is renamed or removed. A file at such a name that nobody holds
/// locked is a leftover of a run that died and is removed on the way; one
/// that is locked belongs to a live run and is left alone. Leftovers are
/// looked for when the file is made and when it is renamed or discarded.
/// Without a rename the destructor removes the file.
class TemporaryFile {
 public:
  /// Throws RunFailure when no such file can be made.
  explicit TemporaryFile(const std::string& base);
  ~TemporaryFile();
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  const std::string& path() const { return path_; }
  /// A second descriptor of the file, open for reading and writing; the
  /// lock stays with this object. Throws RunFailure.
  FileDescriptor duplicate() const;
  /// Renames the file over `target` in one step, then removes leftovers
  /// at the names beside it. Throws RunFailure.
  void renameOver(const std::string& target);
  /// Removes the file now, and the leftovers beside it.
  void discard();
  /// After the rename: the descriptor, still open on what was renamed, so
  /// that this run reads its own result even when another run has replaced
  /// the target since.
  FileDescriptor release() { return std::move(fd_); }

 private:
  void removeLeftovers() const;

  std::string base_;
  unsigned slot_ = 0;
  std::string path_;
  FileDescriptor fd_;
  bool renamed_ = false;
};

/// A name under which `fd` can be opened again, with an offset of its own.
std::string reopenPath(const FileDescriptor& fd);

}  // namespace pellumar
