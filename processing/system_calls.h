#pragma once

#include <sys/types.h>

namespace pellumar {

/// The system calls the file code makes, behind one seam so that tests can
/// make them fail the way a full disk or a failing rename does.
struct SystemCalls {
  int (*open)(const char* path, int flags, mode_t mode);
  ssize_t (*read)(int fd, void* buf, size_t count);
  ssize_t (*write)(int fd, const void* buf, size_t count);
  int (*close)(int fd);
  int (*rename)(const char* from, const char* to);
  int (*unlink)(const char* path);
};

/// The calls in use; tests may replace members and must restore them.
SystemCalls& systemCalls();

/// The real calls.
const SystemCalls& realSystemCalls();

}  // namespace pellumar
