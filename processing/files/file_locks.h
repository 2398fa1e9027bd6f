#pragma once

#include <sys/stat.h>

#include <string>

namespace pellumar {

// How runs tell their own files from those a dead run left: a run holds
// each file it made locked (flock) until the file has its final name.

/// flock, made again when a signal interrupts it.
int lockRetrying(int fd, int operation);

bool sameFile(const struct stat& a, const struct stat& b);

/// Removes what stands at `path` when it is a leftover: a regular file that
/// no live run holds locked, or a symlink. True when the name may be free now.
bool removeIfLeftover(const std::string& path);

}  // namespace pellumar
