#include "processing/files/file_names.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "processing/files/file_descriptor.h"
#include "processing/files/file_io.h"
#include "processing/files/file_locks.h"
#include "processing/files/run_failure.h"
#include "processing/files/system_calls.h"

namespace pellumar {

namespace {

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

void deleteFile(const std::string& path) {
  if (PELLUMAR_SYSTEM(unlink)(path.c_str()) != 0 && errno != ENOENT) {
    throw RunFailure(fileErrorMessage("delete", path, errno));
  }
}

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

void setNormalAttributes(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0) throw RunFailure(fileErrorMessage("open", path, errno));
  if (!S_ISREG(info.st_mode) || (info.st_mode & S_IWUSR) != 0) return;
  if (::chmod(path.c_str(), (info.st_mode & 07777) | S_IWUSR) != 0) {
    throw RunFailure(fileErrorMessage("change the permissions of", path, errno));
  }
}

void checkNoFolderAt(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0 || S_ISREG(info.st_mode) || S_ISLNK(info.st_mode)) return;
  if (S_ISDIR(info.st_mode)) throw RunFailure(folderInTheWay(path));
  throw RunFailure("Cannot write \"" + path + "\": something that is no file stands at that name.");
}

int createFresh(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) == 0) {
    if (S_ISDIR(info.st_mode)) throw RunFailure(folderInTheWay(path));
    // Never write through what stands there: an old file or a planted symlink
    // goes, and the new file is made from nothing.
    deleteFile(path);
  }
  const int fd = PELLUMAR_SYSTEM(open)(path.c_str(),
                                       O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) throw RunFailure(fileErrorMessage("create", path, errno));
  return fd;
}

}  // namespace pellumar
