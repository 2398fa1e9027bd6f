#pragma once

#include <string>
#include <vector>

namespace pellumar {

/// The places lexmend.ini is looked for when no file is named, best first:
/// the working folder ("lexmend.ini", kept relative so messages name it as
/// before); the user's own copy in $XDG_CONFIG_HOME/pellumar, or
/// ~/.config/pellumar when that variable is unset, empty or relative; the
/// sample installed with the program, first beside the executable
/// (<prefix>/share/pellumar for <prefix>/bin/EXE, so a moved installation
/// finds its own),
/// then in the data folder the program was built for. A place that cannot be
/// worked out (no HOME, no executable path) is left out; none appears twice.
std::vector<std::string> settingsSearchOrder(const std::string& executable);

/// The first of `places` that is a regular file; "lexmend.ini" when none is,
/// so that loading it says "lexmend.ini not found." as it always has.
std::string firstSettingsFile(const std::vector<std::string>& places);

/// This program's own path, from /proc/self/exe; empty when unknown.
std::string currentExecutable();

/// The settings file to read when none is named on the command line.
inline std::string settingsFileToRead() {
  return firstSettingsFile(settingsSearchOrder(currentExecutable()));
}

}  // namespace pellumar
