#include "processing/run/folder_walk.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>

#include "processing/files/file_io.h"
#include "processing/run/job_paths.h"

namespace pellumar {

namespace {

namespace fs = std::filesystem;

enum class Kind { Other, Subtitles, Text };

Kind kindOf(const std::string& name) {
  const auto dot = name.rfind('.');
  if (dot == std::string::npos || dot == 0) return Kind::Other;
  std::string extension = name.substr(dot + 1);
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (extension == "srt" || extension == "sub") return Kind::Subtitles;
  return extension == "txt" ? Kind::Text : Kind::Other;
}

void walk(const fs::path& folder, const std::string& nameSuffix, std::vector<FileToClean>& found) {
  std::error_code error;
  fs::directory_iterator entries(folder, error);
  if (error) {
    found.push_back({.path = folder.string(),
                     .inFolder = true,
                     .error = fileErrorMessage("read the folder", folder.string(), error.value())});
    return;
  }
  // The names in byte order, each with the path a run would be given.
  std::map<std::string, std::string> files, folders;
  for (; !error && entries != fs::directory_iterator(); entries.increment(error)) {
    const fs::path path = entries->path();
    const std::string name = path.filename().string();
    if (name.starts_with('.')) continue;
    std::error_code ignored;
    if (entries->is_symlink(ignored)) {
      // Through a link: a file as any other, a folder never.
      if (fs::is_regular_file(path, ignored) && kindOf(name) != Kind::Other)
        files.emplace(name, path.string());
    } else if (entries->is_directory(ignored)) {
      folders.emplace(name, path.string());
    } else if (entries->is_regular_file(ignored) && kindOf(name) != Kind::Other) {
      files.emplace(name, path.string());
    }
  }
  // The cleaned copy of a file keeps its extension, so the outputs of the
  // files found are among the files found.
  std::map<std::string, std::string> outputOf;
  for (const auto& [name, path] : files) {
    outputOf.emplace(deriveJobPaths(path, nameSuffix).outputPath, path);
  }
  for (const auto& [name, path] : files) {
    FileToClean file{.path = path, .inFolder = true, .onlySubtitles = kindOf(name) == Kind::Text};
    if (const auto original = outputOf.find(path); original != outputOf.end()) {
      file.outputOf = original->second;
    }
    found.push_back(std::move(file));
  }
  for (const auto& [name, path] : folders) walk(path, nameSuffix, found);
}

}  // namespace

std::vector<FileToClean> walkFolder(const std::string& folder, const std::string& nameSuffix) {
  std::vector<FileToClean> found;
  walk(folder, nameSuffix, found);
  return found;
}

std::vector<FileToClean> filesToClean(const std::vector<std::string>& named, bool walkFolders,
                                      const std::string& nameSuffix) {
  std::vector<FileToClean> files;
  for (const std::string& path : named) {
    std::error_code ignored;
    if (walkFolders && fs::is_directory(path, ignored)) {
      walk(path, nameSuffix, files);
    } else {
      files.push_back({.path = path});
    }
  }
  return files;
}

RunOutcome cleanFile(const FileToClean& file, RunRequest request) {
  request.input = file.path;
  request.foundInFolder = file.inFolder;
  request.onlySubtitles = file.onlySubtitles;
  if (!file.outputOf && !file.error) return clean(request);
  RunOutcome outcome;
  outcome.paths = deriveJobPaths(file.path, request.settings.nameSuffix);
  if (file.error) {
    outcome.ending = RunOutcome::Ending::Failed;
    outcome.failure = file.error;
  } else {
    outcome.ending = RunOutcome::Ending::LeftAlone;
    outcome.leftAlone = "the cleaned copy of " + *file.outputOf;
  }
  return outcome;
}

}  // namespace pellumar
