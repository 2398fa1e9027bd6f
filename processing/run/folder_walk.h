#pragma once

#include <optional>
#include <string>
#include <vector>

#include "processing/run/processing_run.h"

namespace pellumar {

/// A file a run goes over: named, or found walking a named folder.
struct FileToClean {
  std::string path;
  bool inFolder = false;
  /// A .txt file found in a folder: cleaned only when it holds subtitles.
  bool onlySubtitles = false;
  /// The file this one is the cleaned copy of, when it was found beside it:
  /// it is left alone, so that a second walk never cleans the first one's
  /// outputs.
  std::optional<std::string> outputOf{};
  /// Set when a folder could not be read: the reason, naming it.
  std::optional<std::string> error{};
};

/// The subtitle files in `folder` and below, depth first: in each folder its
/// files, then its sub-folders, each in byte order of their names. Files
/// ending in .srt or .sub (in any case) are found, and .txt files with
/// onlySubtitles; others are not looked at. Names starting with a dot are
/// passed over, and symlinked folders are not entered; a symlink to a file
/// is found as the file. `nameSuffix` tells the cleaned copies from their
/// files.
std::vector<FileToClean> walkFolder(const std::string& folder, const std::string& nameSuffix);

/// The files named, in their order, with each folder among them replaced by
/// what walkFolder finds in it when `walkFolders`.
std::vector<FileToClean> filesToClean(const std::vector<std::string>& named, bool walkFolders,
                                      const std::string& nameSuffix);

/// Cleans `file` as `request` says, its input aside. A cleaned copy found
/// beside its file is left alone and a folder that could not be read fails,
/// without a run.
RunOutcome cleanFile(const FileToClean& file, RunRequest request);

}  // namespace pellumar
