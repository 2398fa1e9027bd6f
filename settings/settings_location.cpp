#include "settings/settings_location.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "processing/files/file_io.h"
#include "settings/settings_loader.h"

namespace pellumar {

namespace {

namespace fs = std::filesystem;

constexpr const char* kProgramFolder = "pellumar";

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

// $XDG_CONFIG_HOME, or ~/.config: a relative value is to be ignored, as the
// base-directory rules say.
fs::path configHome() {
  const fs::path xdg = environment("XDG_CONFIG_HOME");
  if (xdg.is_absolute()) return xdg;
  const fs::path home = environment("HOME");
  if (home.is_absolute()) return home / ".config";
  return {};
}

}  // namespace

std::vector<std::string> settingsSearchOrder(const std::string& executable) {
  std::vector<std::string> places{kSettingsFileName};
  const auto add = [&places](const fs::path& folder) {
    if (folder.empty()) return;
    const std::string place = (folder / kSettingsFileName).lexically_normal().string();
    if (std::find(places.begin(), places.end(), place) == places.end()) places.push_back(place);
  };
  const fs::path config = configHome();
  if (!config.empty()) add(config / kProgramFolder);
  // Only an installed program sits in a bin folder; one run from its build
  // folder has no sample beside it.
  const fs::path programFolder = fs::path(executable).parent_path();
  if (programFolder.filename() == "bin")
    add(programFolder.parent_path() / "share" / kProgramFolder);
  add(fs::path(PELLUMAR_DATADIR) / kProgramFolder);
  return places;
}

std::string firstSettingsFile(const std::vector<std::string>& places) {
  for (const std::string& place : places) {
    if (fileExists(place)) return place;
  }
  return kSettingsFileName;
}

std::string currentExecutable() {
  std::error_code error;
  const fs::path path = fs::read_symlink("/proc/self/exe", error);
  return error ? std::string() : path.string();
}

}  // namespace pellumar
