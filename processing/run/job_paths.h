#pragma once

#include <string>

namespace pellumar {

/// The names one run works with, all derived from the chosen file.
struct JobPaths {
  std::string inputPath;    ///< the chosen file; only ever read
  std::string outputPath;   ///< stem + suffix + "." + extension
  std::string stagingPath;  ///< stem + suffix + kStagingSuffix + "." + extension; the base
                            ///< of the staging files' names (temporaryName)
  std::string logPath;      ///< outputPath + ".log"
  bool operator==(const JobPaths&) const = default;
};

/// Goes after the name suffix in the staging file's name. "_22" is what the
/// program has always used there, and users who clean up by hand know
/// "movie_PL_22.srt" as its own; the run's own number and ".tmp" follow it.
inline constexpr const char* kStagingSuffix = "_22";

/// The extension is the text after the last "." of the file name, unless that
/// dot is the name's first character. Touches no file.
JobPaths deriveJobPaths(const std::string& inputPath, const std::string& nameSuffix);

}  // namespace pellumar
