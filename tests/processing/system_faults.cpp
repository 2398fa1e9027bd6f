#include "tests/processing/system_faults.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <utility>

#include "processing/files/system_calls.h"

namespace pellumar {

namespace {

SystemFaults* active = nullptr;

int failed() {
  errno = active->faults.error;
  return -1;
}

// True when the call is to be interrupted now; else limits `count`.
bool interrupted(size_t& count) {
  if (active == nullptr || active->faults.interruptedSize == 0) return false;
  const bool interrupt = std::exchange(active->interruptNext, !active->interruptNext);
  if (interrupt) errno = EINTR;
  count = std::min(count, active->faults.interruptedSize);
  return interrupt;
}

}  // namespace

SystemFaults::SystemFaults(Faults planted) : faults(planted) { active = this; }
SystemFaults::~SystemFaults() { active = nullptr; }

namespace test_system {

int open(const char* path, int flags, mode_t mode) {
  const bool fails = active != nullptr && active->faults.failCreate && (flags & O_CREAT) != 0;
  return fails ? failed() : ::open(path, flags, mode);
}

ssize_t read(int fd, void* buf, size_t count) {
  if (active != nullptr) ++active->reads;
  return interrupted(count) ? -1 : ::read(fd, buf, count);
}

ssize_t write(int fd, const void* buf, size_t count) {
  if (active != nullptr && ++active->writes == active->faults.writeToFail) return failed();
  return interrupted(count) ? -1 : ::write(fd, buf, count);
}

int close(int fd) { return ::close(fd); }

int rename(const char* from, const char* to) {
  return active != nullptr && active->faults.failRename ? failed() : ::rename(from, to);
}

int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned flags) {
  if (active == nullptr) return ::renameat2(fromDir, from, toDir, to, flags);
  if (active->faults.failRename || active->faults.failSwap) return failed();
  ++active->swaps;
  return ::renameat2(fromDir, from, toDir, to, flags);
}

int unlink(const char* path) { return ::unlink(path); }

}  // namespace test_system
}  // namespace pellumar
