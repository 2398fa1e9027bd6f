#include "processing/processing_run.h"

#include <filesystem>

#include "processing/file_ops.h"
#include "processing/held_messages.h"
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
  const std::filesystem::path folder = std::filesystem::path(paths.inputPath).parent_path();
  for (const std::string* derived : {&paths.outputPath, &paths.stagingPath, &paths.logPath}) {
    // Names in the chosen file's folder, as most are, need no second look at it.
    const std::filesystem::path name(*derived);
    const auto entry =
        name.parent_path() == folder ? chosen.parent_path() / name.filename() : entryOf(*derived);
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
  try {
    guardChosenFile(paths_);
    const CodePageCandidates pages = settings_.legacyPages();
    if (mode_ != RunMode::SinglePass || !cleanCheckingUtf8(pages)) {
      std::optional<std::string> contents;
      TextEncoding encoding = detectFileEncoding(paths_.inputPath, pages, &contents);
      cleanIn(std::move(encoding), std::move(contents), window_);
    }
  } catch (const RunFailure& failure) {
    window_.setOpenButtonEnabled(true);
    window_.showMessage(failure.message(), MessageIcon::None, std::string(kAppTitle));
    return RunOutcome::Failed;
  }
  window_.setOpenButtonEnabled(true);
  return RunOutcome::Done;
}

// The single pass reads the whole file anyway, so a file that starts as
// UTF-8 is checked as it is read rather than read once more beforehand.
// False when it turns out not to be UTF-8: then nothing was shown or written,
// and the run starts again.
bool ProcessingRun::cleanCheckingUtf8(const CodePageCandidates& pages) {
  std::optional<std::string> contents;
  TextEncoding encoding = detectEncodingFromStart(paths_.inputPath, pages, &contents);
  if (!encoding.checkWhileReading) {
    cleanIn(std::move(encoding), std::move(contents), window_);
    return true;
  }
  // Messages wait until the text has proved to be UTF-8.
  HeldMessages held(window_);
  try {
    cleanIn(std::move(encoding), std::nullopt, held);
  } catch (const NotUtf8&) {
    return false;
  } catch (const RunFailure&) {
    // A failure stands when the text it came from was read right.
    if (detectFileEncoding(paths_.inputPath, pages).form != TextEncoding::Form::Utf8) return false;
    held.release();
    throw;
  }
  held.release();
  return true;
}

void ProcessingRun::cleanIn(TextEncoding encoding, std::optional<std::string> contents,
                            WindowSystem& window) {
  encoding_ = encoding;
  RunContext context{settings_, window, paths_,  std::move(encoding),
                     {},        {},     tables_, std::move(contents)};
  context.threadsFrom = threadsFrom_;
  if (mode_ == RunMode::SinglePass && singlePassMatchesStaged(context)) {
    runSinglePass(context);
    return;
  }
  // The staged run commits pass by pass, so it cannot start again.
  if (context.encoding.checkWhileReading) throw NotUtf8();
  runStaged(context);
}

}  // namespace pellumar
