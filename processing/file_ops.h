#pragma once

#include <string>

namespace pellumar {

/// True for an existing regular file, also through a symlink; false for a
/// folder or nothing.
bool fileExists(const std::string& path);

/// Removes a file if one stands at `path` (a symlink itself, not its target).
/// Throws RunFailure when something stays there.
void deleteFile(const std::string& path);

/// Renames `from` over `to` in one step. Throws RunFailure.
void renameFile(const std::string& from, const std::string& to);

/// Gives the owner write permission. Throws RunFailure.
void setNormalAttributes(const std::string& path);

/// Creates a new empty file for writing at `path`, removing whatever stands
/// there first; never follows a symlink. Returns the descriptor. Throws
/// RunFailure (also when a folder stands at the name).
int createFresh(const std::string& path);

/// "Cannot <verb> "<path>": <reason from errno>."
std::string fileErrorMessage(const char* verb, const std::string& path, int error);

}  // namespace pellumar
