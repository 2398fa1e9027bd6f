#include "processing/file_ops.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
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
  if (systemCalls().unlink(path.c_str()) != 0 && errno != ENOENT) {
    throw RunFailure(fileErrorMessage("delete", path, errno));
  }
}

void renameFile(const std::string& from, const std::string& to) {
  if (systemCalls().rename(from.c_str(), to.c_str()) != 0) {
    const int error = errno;
    struct stat info {};
    if (::lstat(to.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
      throw RunFailure("Cannot write \"" + to + "\": a folder stands at that name.");
    }
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
  const int fd = systemCalls().open(path.c_str(),
                                    O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) throw RunFailure(fileErrorMessage("create", path, errno));
  return fd;
}

}  // namespace pellumar
