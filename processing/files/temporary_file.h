#pragma once

#include <string>

#include "processing/files/file_descriptor.h"

namespace pellumar {

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

}  // namespace pellumar
