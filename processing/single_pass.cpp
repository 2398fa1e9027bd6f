#include "processing/single_pass.h"

#include <optional>

#include "processing/blank_subtitles.h"
#include "processing/file_ops.h"
#include "processing/formatting_codes.h"
#include "processing/local_chars.h"
#include "processing/pipeline.h"
#include "processing/redundant_spaces.h"
#include "processing/replace_strings.h"
#include "processing/run_failure.h"
#include "processing/skip_log_file.h"
#include "processing/srt_blank_lines.h"
#include "processing/staged_copy.h"
#include "processing/system_calls.h"

namespace pellumar {

namespace {

template <typename Rule>
std::unique_ptr<LineStage> ruleStage(Rule rule) {
  return std::make_unique<LineRuleStage<Rule>>(std::move(rule));
}

struct Ticked {
  bool localChars, replaceStrings, removeCodes, deleteSpaces, deleteBlank, fixSrtBlank;
};

// Passes A to D: every line on its own.
void addLineRules(Pipeline& pipeline, const RunContext& run, const Ticked& ticked) {
  if (ticked.localChars && !run.settings.localChars.empty()) {
    pipeline.add(ruleStage([table = LocalCharTable(run.settings.localChars)](std::string& line) {
      table.apply(line);
    }));
  }
  if (ticked.replaceStrings && !run.settings.replacements.empty()) {
    pipeline.add(ruleStage([&replacements = run.settings.replacements](std::string& line) {
      replaceFirstOccurrences(replacements, line);
    }));
  }
  if (ticked.removeCodes) pipeline.add(ruleStage(stripFormattingCodes));
  if (ticked.deleteSpaces) {
    pipeline.add(ruleStage(removeSpacesBeforePunctuation));
    pipeline.add(ruleStage(trimAndRemoveSpacesAfterHyphens));
  }
}

void removeQuietly(const std::string& path) { systemCalls().unlink(path.c_str()); }

}  // namespace

void runSinglePass(RunContext& run) {
  WindowSystem& window = run.window;
  const Ticked ticked{window.isTicked(Option::SubstituteLocalChars),
                      window.isTicked(Option::ReplaceStrings),
                      window.isTicked(Option::RemoveFormattingCodes),
                      window.isTicked(Option::DeleteRedundantSpaces),
                      window.isTicked(Option::DeleteBlankSubtitles),
                      window.isTicked(Option::FixSrtBlankLines)};

  try {
    std::optional<SubtitleKind> blankKind, srtKind;
    if (ticked.deleteBlank) blankKind = askSubtitleKind(run, Option::DeleteBlankSubtitles);
    if (ticked.fixSrtBlank) srtKind = askSubtitleKind(run, Option::FixSrtBlankLines);

    Pipeline pipeline;
    addLineRules(pipeline, run, ticked);
    std::optional<SkipLogFile> log;
    if (blankKind && (blankKind->isMicroDvd || blankKind->isSubRip)) {
      log.emplace(run.paths.logPath, run.encoding);
      if (blankKind->isMicroDvd) {
        pipeline.add(std::make_unique<FrameBlankStage>(*log));
      } else {
        pipeline.add(std::make_unique<BlockBlankStage>(*log));
      }
    }
    if (srtKind && srtKind->isSubRip) pipeline.add(std::make_unique<SrtBlankLineStage>());

    try {
      copyThroughStage(run, run.paths.inputPath, pipeline);
    } catch (const OverlongBlock&) {
      // The staged run stops at blank-subtitle removal with the earlier
      // passes' work in the output; leave the same.
      log.reset();
      Pipeline earlier;
      addLineRules(earlier, run, ticked);
      copyThroughStage(run, run.paths.inputPath, earlier);
      throw;
    }
    if (log) log->keepIfUsed();
  } catch (const OverlongBlock&) {
    throw;
  } catch (const RunFailure&) {
    // No pass finished, so there is no output, not even an earlier run's.
    if (fileExists(run.paths.outputPath)) removeQuietly(run.paths.outputPath);
    throw;
  }
}

}  // namespace pellumar
