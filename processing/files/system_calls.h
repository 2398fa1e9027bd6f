#pragma once

#include <sys/types.h>

// The system calls through which the file code can fail the way a full disk or
// a failing rename does: open, read, write, close, rename, renameat2 and
// unlink. The code calls them as PELLUMAR_SYSTEM(call)(...), which in the
// shipped library is the plain ::call. The processing tests link a second build
// of the same sources, compiled with PELLUMAR_SYSCALL_SEAM, where the calls go
// to functions of the same names in pellumar::test_system that the tests
// define, so the shipped code holds no table that anyone could overwrite.
#ifdef PELLUMAR_SYSCALL_SEAM
namespace pellumar::test_system {
int open(const char* path, int flags, mode_t mode);
ssize_t read(int fd, void* buf, size_t count);
ssize_t write(int fd, const void* buf, size_t count);
int close(int fd);
int rename(const char* from, const char* to);
int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned flags);
int unlink(const char* path);
}  // namespace pellumar::test_system
#define PELLUMAR_SYSTEM(call) ::pellumar::test_system::call
#else
#define PELLUMAR_SYSTEM(call) ::call
#endif
