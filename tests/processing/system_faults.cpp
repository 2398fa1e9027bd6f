#include "tests/processing/system_faults.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "processing/system_calls.h"

namespace pellumar {

namespace {

SystemFaults* active = nullptr;

// True when the call is to be interrupted now; else limits `count`.
bool interrupted(size_t& count) {
  if (active == nullptr || active->interruptedSize == 0) return false;
  active->interruptNext = !active->interruptNext;
  if (!active->interruptNext) {
    errno = EINTR;
    return true;
  }
  count = std::min(count, active->interruptedSize);
  return false;
}

}  // namespace

SystemFaults::SystemFaults() { active = this; }
SystemFaults::~SystemFaults() { active = nullptr; }

void SystemFaults::failWrite(int callNumber, int code) {
  writeToFail = callNumber;
  error = code;
}

void SystemFaults::failCreate(int code) {
  failingCreate = true;
  error = code;
}

void SystemFaults::failRename(int code) {
  failingRename = true;
  error = code;
}

void SystemFaults::interruptReadsAndWrites(std::size_t bytes) { interruptedSize = bytes; }

namespace test_system {

int open(const char* path, int flags, mode_t mode) {
  if (active != nullptr && active->failingCreate && (flags & O_CREAT) != 0) {
    errno = active->error;
    return -1;
  }
  return ::open(path, flags, mode);
}

ssize_t read(int fd, void* buf, size_t count) {
  if (interrupted(count)) return -1;
  return ::read(fd, buf, count);
}

ssize_t write(int fd, const void* buf, size_t count) {
  if (active != nullptr && ++active->writes == active->writeToFail) {
    errno = active->error;
    return -1;
  }
  if (interrupted(count)) return -1;
  return ::write(fd, buf, count);
}

int close(int fd) { return ::close(fd); }

int rename(const char* from, const char* to) {
  if (active != nullptr && active->failingRename) {
    errno = active->error;
    return -1;
  }
  return ::rename(from, to);
}

int unlink(const char* path) { return ::unlink(path); }

}  // namespace test_system
}  // namespace pellumar
