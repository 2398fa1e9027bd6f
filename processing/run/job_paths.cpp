#include "processing/run/job_paths.h"

namespace pellumar {

JobPaths deriveJobPaths(const std::string& inputPath, const std::string& nameSuffix) {
  JobPaths paths;
  paths.inputPath = inputPath;
  const std::size_t slash = inputPath.rfind('/');
  const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const std::size_t dot = inputPath.rfind('.');
  if (dot != std::string::npos && dot > nameStart) {
    const std::string stem = inputPath.substr(0, dot);
    const std::string extension = inputPath.substr(dot + 1);
    paths.outputPath = stem + nameSuffix + "." + extension;
    paths.stagingPath = stem + nameSuffix + kStagingSuffix + "." + extension;
  } else {
    // A dot that starts the name (".hidden") makes no extension.
    paths.outputPath = inputPath + nameSuffix;
    paths.stagingPath = inputPath + nameSuffix + kStagingSuffix;
  }
  paths.logPath = paths.outputPath + ".log";
  return paths;
}

}  // namespace pellumar
