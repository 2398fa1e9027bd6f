#include "processing/files/file_locks.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "processing/files/file_descriptor.h"
#include "processing/files/system_calls.h"

namespace pellumar {

int lockRetrying(int fd, int operation) {
  int result;
  do {
    result = ::flock(fd, operation);
  } while (result != 0 && errno == EINTR);
  return result;
}

bool sameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

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

}  // namespace pellumar
