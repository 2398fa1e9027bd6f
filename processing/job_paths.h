#pragma once

#include <string>

namespace pellumar {

/// The names one run works with, all derived from the chosen file.
struct JobPaths {
  std::string inputPath;    ///< the chosen file; only ever read
  std::string extension;    ///< after the last dot of the file name, or empty
  std::string outputPath;   ///< stem + suffix + "." + extension
  std::string stagingPath;  ///< stem + suffix + "_22" + "." + extension; the base of the
                            ///< staging files' names (temporaryName)
  std::string logPath;      ///< outputPath + ".log"
  bool operator==(const JobPaths&) const = default;
};

/// The extension is the text after the last "." of the file name, unless that
/// dot is the name's first character. Touches no file.
JobPaths deriveJobPaths(const std::string& inputPath, const std::string& nameSuffix);

}  // namespace pellumar
