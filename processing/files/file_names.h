#pragma once

#include <string>

namespace pellumar {

/// Removes a file if one stands at `path` (a symlink itself, not its target).
/// Throws RunFailure when something stays there.
void deleteFile(const std::string& path);

/// Puts the file `from` at `to` in one step, replacing what stands there.
/// Throws RunFailure, also when a folder stands at `to`.
void renameFile(const std::string& from, const std::string& to);

/// Makes a file owner-writable, as a file the run replaces or removes must
/// be; other files and what is writable already stay as they are. Throws
/// RunFailure.
void setNormalAttributes(const std::string& path);

/// Creates a new empty file for writing at `path`, removing whatever stands
/// there first; never follows a symlink. Returns the descriptor. Throws
/// RunFailure (also when a folder stands at the name).
int createFresh(const std::string& path);

/// Throws RunFailure "Cannot write "<path>": a folder stands at that name."
/// when anything but a file or a symlink stands at `path`: a name the run
/// will put a file at must be free for it.
void checkNoFolderAt(const std::string& path);

}  // namespace pellumar
