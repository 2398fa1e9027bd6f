#include "processing/system_calls.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

namespace pellumar {

namespace {

int openFile(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }

}  // namespace

const SystemCalls& realSystemCalls() {
  static const SystemCalls calls{openFile, ::read, ::write, ::close, ::rename, ::unlink};
  return calls;
}

SystemCalls& systemCalls() {
  static SystemCalls calls = realSystemCalls();
  return calls;
}

}  // namespace pellumar
