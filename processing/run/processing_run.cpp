#include "processing/run/processing_run.h"

#include <exception>
#include <filesystem>

#include "processing/files/file_io.h"
#include "processing/files/run_failure.h"
#include "processing/files/temporary_file.h"
#include "processing/run/changes.h"
#include "processing/run/run_context.h"
#include "processing/run/single_pass.h"
#include "processing/run/staged_run.h"
#include "processing/text/unified_diff.h"

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

// A file found in a folder that is of neither subtitle kind: it is left alone.
struct NoSubtitles {};

// What the output is written in: the settings' choice, or the input's own.
TextEncoding outputFor(const TextEncoding& input, const Settings& settings) {
  TextEncoding output = settings.outputEncoding.value_or(input);
  output.checkWhileReading = false;
  output.convertsText = !output.sameCharactersAs(input);
  return output;
}

// One attempt at the passes, on the file read in `encoding`.
class Attempt {
 public:
  Attempt(const RunRequest& request, const RuleTables& tables, RunOutcome& outcome)
      : request_(request), tables_(tables), outcome_(outcome) {}

  // What the passes tell the user reaches the outcome, also when they fail.
  void run(TextEncoding encoding, std::optional<std::string> contents) {
    outcome_.readAs = encoding;
    outcome_.writtenAs = outputFor(encoding, request_.settings);
    RunContext run{request_.settings,
                   tables_,
                   request_.passes,
                   outcome_.paths,
                   std::move(encoding),
                   *outcome_.writtenAs,
                   {},
                   {},
                   std::move(contents)};
    try {
      runPasses(run);
    } catch (...) {
      keep(run);
      throw;
    }
    keep(run);
  }

 private:
  void keep(RunContext& run) {
    outcome_.notes = std::move(run.notes);
    outcome_.skipped = run.skipped;
  }

  void runPasses(RunContext& run) {
    if (request_.onlySubtitles) {
      run.kind = detectSubtitleKind(run.paths.inputPath, run.input, run.inputContents());
      if (!run.kind->isMicroDvd && !run.kind->isSubRip) throw NoSubtitles();
    }
    if (request_.mode == RunMode::Preview) {
      const Preview preview = runPreview(run);
      showChanges(preview);
      outcome_.lineEndsChange = preview.otherLineEnds;
      return;
    }
    if (request_.mode == RunMode::SinglePass && singlePassMatchesStaged(run)) {
      runSinglePass(run);
    } else {
      // The staged run commits pass by pass, so it cannot start again.
      if (run.input.checkWhileReading) throw NotUtf8();
      runStaged(run);
    }
    if (request_.showChanges) {
      try {
        showChanges(readChanges(run));
      } catch (const RunFailure&) {
        // The files are written; only the look at them is missing.
      }
    }
  }

  void showChanges(const Preview& preview) {
    outcome_.changes = unifiedDiff(preview.before, preview.after, outcome_.paths.inputPath,
                                   outcome_.paths.outputPath);
  }

  const RunRequest& request_;
  const RuleTables& tables_;
  RunOutcome& outcome_;
};

// The single pass reads the whole file anyway, so a file that starts as
// UTF-8 is checked as it is read rather than read once more beforehand.
// False when it turns out not to be UTF-8: then nothing was written, and
// the run starts again with what it noted forgotten.
bool cleanCheckingUtf8(Attempt& attempt, const JobPaths& paths, const CodePageCandidates& pages) {
  std::optional<std::string> contents;
  TextEncoding encoding = detectEncodingFromStart(paths.inputPath, pages, &contents, true);
  if (!encoding.checkWhileReading) {
    attempt.run(std::move(encoding), std::move(contents));
    return true;
  }
  try {
    attempt.run(std::move(encoding), std::nullopt);
  } catch (const NotUtf8&) {
    return false;
  } catch (const RunFailure&) {
    // A failure stands when the text it came from was read right.
    if (detectFileEncoding(paths.inputPath, pages).form != TextEncoding::Form::Utf8) return false;
    throw;
  }
  return true;
}

void cleanChosenFile(const RunRequest& request, const RuleTables& tables, RunOutcome& outcome) {
  guardChosenFile(outcome.paths);
  Attempt attempt(request, tables, outcome);
  const CodePageCandidates pages = request.settings.legacyPages();
  if (request.mode != RunMode::Staged && cleanCheckingUtf8(attempt, outcome.paths, pages)) {
    return;
  }
  std::optional<std::string> contents;
  TextEncoding encoding = detectFileEncoding(outcome.paths.inputPath, pages, &contents, true);
  attempt.run(std::move(encoding), std::move(contents));
}

}  // namespace

RunOutcome clean(const RunRequest& request) {
  RunOutcome outcome;
  outcome.paths = deriveJobPaths(request.input, request.settings.nameSuffix);
  if (!fileExists(request.input)) return outcome;
  try {
    std::optional<RuleTables> own;
    const RuleTables& tables =
        request.tables ? *request.tables
                       : own.emplace(request.settings.localChars, request.settings.replacements);
    cleanChosenFile(request, tables, outcome);
    outcome.ending = RunOutcome::Ending::Cleaned;
    if (request.mode != RunMode::Preview) outcome.output = outcome.paths.outputPath;
  } catch (const NoSubtitles&) {
    outcome.ending = RunOutcome::Ending::LeftAlone;
    outcome.leftAlone = "no subtitles in it";
  } catch (const NotText& notText) {
    // Named, it is a mistake; in a folder, it is a picture track beside its .idx.
    if (request.foundInFolder) {
      outcome.ending = RunOutcome::Ending::LeftAlone;
      outcome.leftAlone = "not a text subtitle file";
    } else {
      outcome.ending = RunOutcome::Ending::Failed;
      outcome.failure = notText.message();
    }
  } catch (const RunFailure& failure) {
    outcome.ending = RunOutcome::Ending::Failed;
    outcome.failure = failure.message();
  } catch (const std::exception& error) {
    // Out of memory, or the system refusing what the run never expects.
    outcome.ending = RunOutcome::Ending::Failed;
    outcome.failure = error.what();
  }
  if (outcome.skipped > 0) outcome.log = outcome.paths.logPath;
  return outcome;
}

}  // namespace pellumar
