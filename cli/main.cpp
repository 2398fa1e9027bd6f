#include <unistd.h>

#include <cstdio>
#include <exception>
#include <string>
#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "cli/batch.h"
#include "cli/cli_options.h"
#include "cli/output_text.h"
#include "cli/report.h"
#include "processing/run/folder_walk.h"
#include "settings/settings_loader.h"
#include "settings/settings_location.h"

namespace {

int runCli(int argc, char** argv) {
  using namespace pellumar;
  using namespace pellumar::cli;

  const CommandLine commandLine = parseCommandLine(argc, argv, cpuCount());
  writeText(commandLine.out, stdout);
  writeText(commandLine.err, stderr);
  if (!commandLine.options) return commandLine.exitStatus;
  const CliOptions& options = *commandLine.options;

  const SettingsLoad load =
      loadSettings(options.settingsFile ? *options.settingsFile : settingsFileToRead());
  if (!load.error.empty()) writeText(errorLine(load.error), stderr);
  if (!load.settings) return kExitBadUsage;
  Settings settings = *load.settings;
  if (options.codePages) settings.setLegacyPages(*options.codePages);
  if (options.outputEncoding) settings.outputEncoding = *options.outputEncoding;
  // An empty suffix means the default, as an empty NAMESUFIXADD does.
  if (options.suffix) {
    settings.nameSuffix = options.suffix->empty() ? Settings::kDefaultSuffix : *options.suffix;
  }

  const RuleTables tables(settings.localChars, settings.replacements);
  const RunRequest request{
      .settings = settings, .passes = options.passes, .mode = options.mode, .tables = &tables};
  const std::vector<FileToClean> files =
      filesToClean(options.files, options.recursive, settings.nameSuffix);
  std::vector<std::string> paths;
  for (const FileToClean& file : files) paths.push_back(file.path);
  const bool colour = options.color == CliOptions::Color::Always ||
                      (options.color == CliOptions::Color::Auto && ::isatty(STDOUT_FILENO) == 1);
  Report report(options, stdout, stderr, colour);
  runBatch(
      paths, groupFiles(paths, settings.nameSuffix), options.jobs,
      [&](std::size_t index) { return cleanFile(files[index], request); },
      [&](std::span<const RunOutcome> outcomes) { report.print(outcomes); });
  if (options.recursive) writeText(errorLine(report.sum()), stderr);
  return report.failed() == 0 ? kExitAllProcessed : kExitSomeNotProcessed;
}

}  // namespace

int main(int argc, char** argv) {
#ifdef __GLIBC__
  // Every file of a batch takes and frees the same few buffers; keep their
  // pages rather than giving them back to the system and faulting them in
  // again for the next file.
  mallopt(M_MMAP_THRESHOLD, 4 << 20);
  mallopt(M_TRIM_THRESHOLD, 16 << 20);
#endif
  // Progress lines go out in large writes, flushed when a file is finished.
  std::setvbuf(stdout, nullptr, _IOFBF, 1 << 16);
  try {
    const int status = runCli(argc, argv);
    std::fflush(stdout);
    return status;
  } catch (const std::exception& error) {
    std::fflush(stdout);
    pellumar::cli::writeText(pellumar::cli::errorLine(error.what()), stderr);
    return pellumar::cli::kExitBadUsage;
  }
}
