#include "processing/files/temporary_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>

#include "processing/files/file_io.h"
#include "processing/files/file_locks.h"
#include "processing/files/file_names.h"
#include "processing/files/run_failure.h"
#include "processing/files/system_calls.h"

namespace pellumar {

namespace {

// More runs than this on one file at once are not foreseen.
constexpr unsigned kMaxSlots = 1000;

}  // namespace

std::string temporaryName(const std::string& base, unsigned slot) {
  return base + "." + std::to_string(slot) + ".tmp";
}

bool isTemporaryName(const std::string& name, const std::string& base) {
  const std::string_view tail = ".tmp";
  if (name.size() <= base.size() + 1 + tail.size() || !name.starts_with(base + ".") ||
      !name.ends_with(tail)) {
    return false;
  }
  const std::string_view slot(name.data() + base.size() + 1,
                              name.size() - base.size() - 1 - tail.size());
  return slot.find_first_not_of("0123456789") == std::string_view::npos;
}

TemporaryFile::TemporaryFile(const std::string& base) {
  unsigned slot = 1;
  for (unsigned attempt = 0; slot <= kMaxSlots && attempt < 4 * kMaxSlots; ++attempt) {
    std::string path = temporaryName(base, slot);
    FileDescriptor file(PELLUMAR_SYSTEM(open)(
        path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
    if (!file) {
      if (errno != EEXIST) throw RunFailure(fileErrorMessage("create", path, errno));
      if (!removeIfLeftover(path)) ++slot;
      continue;
    }
    // A run removes a leftover only while it holds its lock, so once the
    // lock is ours the file stays; one removed before that is made again.
    // Where the file system has no locks, nobody can take one, and nobody
    // removes the file either.
    if (lockRetrying(file.get(), LOCK_EX) == 0) {
      struct stat info {};
      if (::fstat(file.get(), &info) == 0 && info.st_nlink == 0) continue;
    }
    base_ = base;
    slot_ = slot;
    path_ = std::move(path);
    fd_ = std::move(file);
    removeLeftovers();
    return;
  }
  throw RunFailure(fileErrorMessage("create", temporaryName(base, slot), EEXIST));
}

TemporaryFile::~TemporaryFile() {
  // Removed while still locked, so that the name is ours until it is gone.
  if (!renamed_ && fd_) PELLUMAR_SYSTEM(unlink)(path_.c_str());
}

void TemporaryFile::removeLeftovers() const {
  // Up to the first free name after this file's own: a run that died while
  // this one was at work left its file below or just above it.
  for (unsigned slot = 1; slot <= kMaxSlots; ++slot) {
    if (slot == slot_) continue;
    const std::string name = temporaryName(base_, slot);
    struct stat info {};
    if (::lstat(name.c_str(), &info) != 0) {
      if (slot > slot_) break;
      continue;
    }
    removeIfLeftover(name);
  }
}

void TemporaryFile::discard() {
  if (!renamed_ && fd_) PELLUMAR_SYSTEM(unlink)(path_.c_str());
  fd_ = FileDescriptor();
  removeLeftovers();
}

FileDescriptor TemporaryFile::duplicate() const {
  FileDescriptor copy(::fcntl(fd_.get(), F_DUPFD_CLOEXEC, 0));
  if (!copy) throw RunFailure(fileErrorMessage("write", path_, errno));
  return copy;
}

void TemporaryFile::renameOver(const std::string& target) {
  renameFile(path_, target);
  renamed_ = true;
  // No longer at a temporary name, the file needs no lock; were it kept,
  // another run that replaces the target would find its file held (see
  // replaceBySwap).
  ::flock(fd_.get(), LOCK_UN);
  removeLeftovers();
}

}  // namespace pellumar
