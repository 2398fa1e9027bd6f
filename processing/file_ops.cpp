#include "processing/file_ops.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <system_error>

#include "processing/run_failure.h"
#include "processing/system_calls.h"

namespace pellumar {

std::string fileErrorMessage(const char* verb, const std::string& path, int error) {
  return std::string("Cannot ") + verb + " \"" + path +
         "\": " + std::error_code(error, std::generic_category()).message() + ".";
}

bool fileExists(const std::string& path) {
  struct stat info {};
  return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

void deleteFile(const std::string& path) {
  if (PELLUMAR_SYSTEM(unlink)(path.c_str()) != 0 && errno != ENOENT) {
    throw RunFailure(fileErrorMessage("delete", path, errno));
  }
}

void setNormalAttributes(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0) throw RunFailure(fileErrorMessage("open", path, errno));
  if (!S_ISREG(info.st_mode) || (info.st_mode & S_IWUSR) != 0) return;
  if (::chmod(path.c_str(), (info.st_mode & 07777) | S_IWUSR) != 0) {
    throw RunFailure(fileErrorMessage("change the permissions of", path, errno));
  }
}

int createFresh(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) == 0) {
    if (S_ISDIR(info.st_mode)) {
      throw RunFailure("Cannot write \"" + path + "\": a folder stands at that name.");
    }
    // Never write through what stands there: an old file or a planted symlink
    // goes, and the new file is made from nothing.
    deleteFile(path);
  }
  const int fd = PELLUMAR_SYSTEM(open)(path.c_str(),
                                       O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) throw RunFailure(fileErrorMessage("create", path, errno));
  return fd;
}

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

namespace {

// More runs than this on one file at once are not foreseen.
constexpr unsigned kMaxSlots = 1000;

bool sameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

int lockRetrying(int fd, int operation) {
  int result;
  do {
    result = ::flock(fd, operation);
  } while (result != 0 && errno == EINTR);
  return result;
}

// Removes what stands at `path` when it is a leftover: a regular file that no
// live run holds locked, or a symlink. True when the name may be free now.
bool removeIfLeftover(const std::string& path) {
  struct stat named {};
  // No run makes a symlink; one planted at the name goes, its target stays.
  if (::lstat(path.c_str(), &named) == 0 && S_ISLNK(named.st_mode)) {
    return PELLUMAR_SYSTEM(unlink)(path.c_str()) == 0 || errno == ENOENT;
  }
  const FileDescriptor file(
      PELLUMAR_SYSTEM(open)(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0));
  if (!file) return errno == ENOENT;
  struct stat opened {};
  if (::fstat(file.get(), &opened) != 0 || !S_ISREG(opened.st_mode)) return false;
  if (lockRetrying(file.get(), LOCK_EX | LOCK_NB) != 0) return false;
  if (::lstat(path.c_str(), &named) != 0) return errno == ENOENT;
  // Another file took the name meanwhile: the caller looks at it afresh.
  if (!sameFile(opened, named)) return true;
  return PELLUMAR_SYSTEM(unlink)(path.c_str()) == 0 || errno == ENOENT;
}

std::string folderInTheWay(const std::string& path) {
  return "Cannot write \"" + path + "\": a folder stands at that name.";
}

// Puts `from` at `to` by swapping the two names and removing the old file,
// now at `from`; false when `to` is no regular file, is locked or the file
// system cannot swap names. Renaming over a file makes ext4 write the new
// file out before it returns (its guard for programs that never sync), and
// a batch over earlier outputs waited on the disk for every file. The swap
// is as atomic: at every moment `to` names one whole file, the old or the
// new.
bool replaceBySwap(const std::string& from, const std::string& to) {
  // Locked, the old file can only go where this run puts it: nobody removes
  // it from the temporary name it takes, so no other run's file comes there.
  const FileDescriptor old(
      PELLUMAR_SYSTEM(open)(to.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0));
  struct stat oldInfo {};
  if (!old || ::fstat(old.get(), &oldInfo) != 0 || !S_ISREG(oldInfo.st_mode) ||
      lockRetrying(old.get(), LOCK_EX | LOCK_NB) != 0) {
    return false;
  }
  if (PELLUMAR_SYSTEM(renameat2)(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_EXCHANGE) !=
      0) {
    return false;
  }
  struct stat named {};
  if (::lstat(from.c_str(), &named) == 0 && sameFile(named, oldInfo)) {
    PELLUMAR_SYSTEM(unlink)(from.c_str());
  } else if (S_ISDIR(named.st_mode)) {
    // A folder put at `to` since it was opened goes back where it stood.
    PELLUMAR_SYSTEM(renameat2)(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_EXCHANGE);
    throw RunFailure(folderInTheWay(to));
  } else {
    // Another file took `to` since: what came out is a leftover like any.
    removeIfLeftover(from);
  }
  return true;
}

}  // namespace

void renameFile(const std::string& from, const std::string& to) {
  if (replaceBySwap(from, to)) return;
  if (PELLUMAR_SYSTEM(rename)(from.c_str(), to.c_str()) != 0) {
    const int error = errno;
    struct stat info {};
    if (::lstat(to.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
      throw RunFailure(folderInTheWay(to));
    throw RunFailure(fileErrorMessage("write", to, error));
  }
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

std::string reopenPath(const FileDescriptor& fd) {
  return "/proc/self/fd/" + std::to_string(fd.get());
}

}  // namespace pellumar
