#include "processing/processing_run.h"

#include <filesystem>

#include "processing/file_ops.h"
#include "processing/pass_table.h"
#include "processing/run_context.h"
#include "processing/run_failure.h"
#include "processing/single_pass.h"

namespace pellumar {

namespace {

// The folder entry a path names, so that two spellings of one name compare
// equal; symlinks at the name itself are not followed.
std::filesystem::path entryOf(const std::string& path) {
  const std::filesystem::path absolute = std::filesystem::absolute(path);
  std::error_code ignored;
  return std::filesystem::weakly_canonical(absolute.parent_path(), ignored) / absolute.filename();
}

// A suffix such as "/../x" could make a derived name land on the chosen file,
// also one of the run's own temporary names, where it would pass for a leftover.
void guardChosenFile(const JobPaths& paths) {
  const auto chosen = entryOf(paths.inputPath);
  for (const std::string* derived : {&paths.outputPath, &paths.stagingPath, &paths.logPath}) {
    const auto entry = entryOf(*derived);
    if (entry == chosen || (entry.parent_path() == chosen.parent_path() &&
                            isTemporaryName(chosen.filename(), entry.filename()))) {
      throw RunFailure("Cannot clean \"" + paths.inputPath +
                       "\": the output name would replace the chosen file.");
    }
  }
}

}  // namespace

RunOutcome ProcessingRun::run() {
  return cleanAndConfirm(window_.chooseFile(kOpenDialogTitle, kSubtitleFilter));
}

RunOutcome ProcessingRun::cleanAndConfirm(const std::string& path) {
  const RunOutcome outcome = clean(path);
  if (outcome == RunOutcome::Done) {
    window_.showMessage(kDoneMessage, MessageIcon::Information, std::string(kAppTitle));
  }
  return outcome;
}

RunOutcome ProcessingRun::clean(const std::string& path) {
  if (path.empty() || !fileExists(path)) return RunOutcome::NothingChosen;

  window_.setOpenButtonEnabled(false);
  encoding_.reset();
  paths_ = deriveJobPaths(path, settings_.nameSuffix);
  RunContext context{settings_, window_, paths_, {}, {}, {}};
  try {
    guardChosenFile(paths_);
    context.encoding = detectFileEncoding(paths_.inputPath, settings_.legacyPages());
    encoding_ = context.encoding;
    if (mode_ == RunMode::Staged || !singlePassMatchesStaged(context)) {
      runStaged(context);
    } else {
      runSinglePass(context);
    }
  } catch (const RunFailure& failure) {
    window_.setOpenButtonEnabled(true);
    window_.showMessage(failure.message(), MessageIcon::None, std::string(kAppTitle));
    return RunOutcome::Failed;
  }
  window_.setOpenButtonEnabled(true);
  return RunOutcome::Done;
}

}  // namespace pellumar
