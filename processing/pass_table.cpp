#include "processing/pass_table.h"

#include <sys/stat.h>

#include <array>
#include <optional>

#include "processing/blank_subtitles.h"
#include "processing/file_ops.h"
#include "processing/formatting_codes.h"
#include "processing/line_writer.h"
#include "processing/local_chars.h"
#include "processing/pipeline.h"
#include "processing/redundant_spaces.h"
#include "processing/replace_strings.h"
#include "processing/rule_tables.h"
#include "processing/run_failure.h"
#include "processing/skip_log_file.h"
#include "processing/srt_blank_lines.h"
#include "processing/staged_copy.h"

namespace pellumar {

namespace {

using Stages = std::vector<std::unique_ptr<LineStage>>;

template <typename... Stage>
Stages stagesOf(std::unique_ptr<Stage>... stage) {
  Stages stages;
  (stages.push_back(std::move(stage)), ...);
  return stages;
}

template <typename Rule>
std::unique_ptr<LineStage> ruleStage(Rule rule) {
  return std::make_unique<LineRuleStage<Rule>>(std::move(rule));
}

Stages localCharStages(const PassInput& in) {
  auto table = in.tables ? in.tables->localChars
                         : std::make_shared<const LocalCharTable>(in.settings.localChars);
  return stagesOf(ruleStage([table](std::string& line) { table->apply(line); }));
}

Stages replacementStages(const PassInput& in) {
  auto table = in.tables ? in.tables->replacements
                         : std::make_shared<const ReplacementTable>(in.settings.replacements);
  return stagesOf(ruleStage([table](std::string& line) { table->apply(line); }));
}

Stages formattingCodeStages(const PassInput&) { return stagesOf(ruleStage(&stripFormattingCodes)); }

// Each step commits on its own in the staged run, so a failure in the second
// still leaves the output holding a finished step.
Stages redundantSpaceStages(const PassInput&) {
  return stagesOf(ruleStage(&removeSpacesBeforePunctuation),
                  ruleStage(&trimAndRemoveSpacesAfterHyphens));
}

// A file of both kinds takes the frame branch.
Stages blankSubtitleStages(const PassInput& in) {
  std::unique_ptr<LineStage> branch;
  if (in.kind.isMicroDvd) {
    branch = std::make_unique<FrameBlankStage>(*in.log);
  } else {
    branch = std::make_unique<BlockBlankStage>(*in.log);
  }
  return stagesOf(std::move(branch));
}

Stages srtBlankLineStages(const PassInput&) {
  return stagesOf(std::make_unique<SrtBlankLineStage>());
}

bool eitherKind(const SubtitleKind& kind) { return kind.isMicroDvd || kind.isSubRip; }
bool subRip(const SubtitleKind& kind) { return kind.isSubRip; }

// The table passes, A and B, come first. Their work on a line grows with
// the user's tables and outweighs handing the line to another thread: on a
// large file the single pass gives them a thread of their own, and the
// staged run lets two threads take turns at their lines.
constexpr std::size_t kTablePasses = 2;

const std::array<Pass, 6> kPasses{{
    {.option = Option::SubstituteLocalChars,
     .whenUnticked = WhenUnticked::CopyUnchanged,
     .writes = &Settings::localChars,
     .stages = &localCharStages},
    {.option = Option::ReplaceStrings,
     .whenUnticked = WhenUnticked::CopyUnchanged,
     .writes = &Settings::replacements,
     .stages = &replacementStages},
    {.option = Option::RemoveFormattingCodes,
     .whenUnticked = WhenUnticked::UnlockTheOutput,
     .stages = &formattingCodeStages},
    {.option = Option::DeleteRedundantSpaces, .stages = &redundantSpaceStages},
    {.option = Option::DeleteBlankSubtitles,
     .kindFits = &eitherKind,
     .keepsSkipLog = true,
     .mayStopOnOverlong = true,
     .stages = &blankSubtitleStages},
    {.option = Option::FixSrtBlankLines, .kindFits = &subRip, .stages = &srtBlankLineStages},
}};

// The skip log is made before the work starts, so that no log of an earlier
// run survives under its name; the copy closes it before its commit (see
// copyThroughStage), and after the commit it is put in place, or removed when
// nothing was left out. A failure removes it again.
template <typename Work>
void withSkipLog(RunContext& run, bool keepsLog, Work work) {
  std::optional<SkipLogFile> log;
  if (keepsLog) log.emplace(run.paths.logPath, run.encoding);
  work(log ? &*log : nullptr);
  if (log) log->keepIfUsed();
}

// The kind a pass works on, or nothing when the pass does not work on this
// file. Passes that need no kind work on any file.
std::optional<SubtitleKind> kindToWorkOn(RunContext& run, const Pass& pass) {
  if (!pass.kindFits) return SubtitleKind{};
  const SubtitleKind kind = detectKindAndReport(run, pass.option);
  if (!pass.kindFits(kind)) return std::nullopt;
  return kind;
}

// In the staged run a pass that writes a character the output's code page
// cannot hold fails there, even when a later pass would have removed it. The
// single pass checks the line after such a pass and fails the same way.
class CodePageCheck : public LineStage {
 public:
  CodePageCheck(const CodePage& page, const std::string& outputPath)
      : page_(page), outputPath_(outputPath) {}
  void push(std::string& line, LineSink& out) override {
    ++lineNumber_;
    bytes_.clear();
    if (auto bad = page_.encode(line, bytes_)) {
      throw RunFailure(cannotHoldMessage(outputPath_, lineNumber_, *bad, page_));
    }
    out.put(line);
  }

 private:
  const CodePage& page_;
  const std::string& outputPath_;
  std::string bytes_;
  std::size_t lineNumber_ = 0;
};

// True when a to-text the pass may write holds a character the page cannot hold.
bool mayWriteWhatThePageCannotHold(const RunContext& run, const Pass& pass) {
  if (!pass.writes || run.encoding.form != TextEncoding::Form::Legacy) return false;
  std::string bytes;
  for (const TextPair& entry : run.settings.*pass.writes) {
    bytes.clear();
    if (run.encoding.codePage->encode(entry.to, bytes)) return true;
  }
  return false;
}

// The passes from `begin` to before `end` that the single pass runs, given
// the kinds they work on, composed into one pipeline.
Pipeline compose(const RunContext& run, const std::array<std::optional<SubtitleKind>, 6>& kinds,
                 std::size_t begin, std::size_t end, SkipLogFile* log) {
  Pipeline pipeline;
  for (std::size_t i = begin; i < end; ++i) {
    if (!kinds[i]) continue;
    for (auto& stage : kPasses[i].stages({run.settings, *kinds[i], log, run.tables})) {
      pipeline.add(std::move(stage));
    }
    if (mayWriteWhatThePageCannotHold(run, kPasses[i])) {
      pipeline.add(std::make_unique<CodePageCheck>(*run.encoding.codePage, run.paths.outputPath));
    }
  }
  return pipeline;
}

// Whether the chosen file is large enough to be worth the threads.
bool worthThreads(const RunContext& run) {
  if (run.contents) return run.contents->size() >= run.threadsFrom;
  struct stat info {};
  return ::stat(run.paths.inputPath.c_str(), &info) == 0 &&
         static_cast<std::uint64_t>(info.st_size) >= run.threadsFrom;
}

// One step of the staged run: the first pass reads the chosen file, the
// others what this run committed last. Given `copy`, two threads share it.
void stagedCopy(RunContext& run, const Pass& pass, LineStage& stage, SkipLogFile* log,
                LineStage* copy = nullptr) {
  if (&pass == &kPasses.front()) {
    copyThroughStage(run, run.paths.inputPath, stage, log, copy);
  } else {
    rewriteOutput(run, stage, log, copy);
  }
}

bool isTablePass(const Pass& pass) {
  return static_cast<std::size_t>(&pass - kPasses.data()) < kTablePasses;
}

}  // namespace

std::span<const Pass> passTable() { return kPasses; }

SubtitleKind detectKindAndReport(RunContext& run, Option askingOption) {
  if (!run.kind)
    run.kind = detectSubtitleKind(run.paths.inputPath, run.encoding, run.inputContents());
  if (!run.kind->isMicroDvd && !run.kind->isSubRip) {
    run.window.showMessage(
        unknownKindMessage(std::string("\"") + optionCaption(askingOption) + "\""),
        MessageIcon::None, std::string(kAppTitle));
  }
  return *run.kind;
}

void runStagedPass(RunContext& run, const Pass& pass) {
  const std::optional<SubtitleKind> kind = kindToWorkOn(run, pass);
  if (!kind) return;
  withSkipLog(run, pass.keepsSkipLog, [&](SkipLogFile* log) {
    const PassInput input{run.settings, *kind, log, run.tables};
    const auto stages = pass.stages(input);
    // A second set of a table pass's stages, for the other thread.
    std::vector<std::unique_ptr<LineStage>> copies;
    if (isTablePass(pass) && worthThreads(run)) copies = pass.stages(input);
    for (std::size_t i = 0; i < stages.size(); ++i) {
      LineStage* const copy =
          i < copies.size() && copies[i]->changesLinesAlone() ? copies[i].get() : nullptr;
      stagedCopy(run, pass, *stages[i], log, copy);
    }
  });
}

void runStaged(RunContext& run) {
  for (const Pass& pass : kPasses) {
    if (run.window.isTicked(pass.option)) {
      runStagedPass(run, pass);
    } else if (pass.whenUnticked == WhenUnticked::CopyUnchanged) {
      LineRuleStage unchanged([](std::string&) {});
      stagedCopy(run, pass, unchanged, nullptr);
    } else if (pass.whenUnticked == WhenUnticked::UnlockTheOutput) {
      setNormalAttributes(run.paths.outputPath);
    }
  }
}

void runSinglePass(RunContext& run) {
  // Unticked passes copy unchanged at most, which the one read does anyway.
  std::array<std::optional<SubtitleKind>, 6> kinds;
  bool keepsLog = false;
  for (std::size_t i = 0; i < kPasses.size(); ++i) {
    if (!run.window.isTicked(kPasses[i].option)) continue;
    kinds[i] = kindToWorkOn(run, kPasses[i]);
    keepsLog = keepsLog || (kinds[i] && kPasses[i].keepsSkipLog);
  }
  // A failure before the commit leaves whatever stood at the output name as
  // it was, like a failing first pass of the staged run.
  withSkipLog(run, keepsLog, [&](SkipLogFile* log) {
    try {
      if (worthThreads(run)) {
        // The table passes on the reading thread, the rest on the other.
        Pipeline front = compose(run, kinds, 0, kTablePasses, log);
        Pipeline back = compose(run, kinds, kTablePasses, kPasses.size(), log);
        // The other thread's copy of the table passes, for the lines it takes
        // on when the reading thread falls behind.
        std::optional<Pipeline> frontCopy;
        if (front.changesLinesAlone()) frontCopy = compose(run, kinds, 0, kTablePasses, log);
        copyThroughStages(run, run.paths.inputPath, front, back, log,
                          frontCopy ? &*frontCopy : nullptr);
      } else {
        Pipeline pipeline = compose(run, kinds, 0, kPasses.size(), log);
        copyThroughStage(run, run.paths.inputPath, pipeline, log);
      }
    } catch (const OverlongBlock&) {
      // The staged run stops at the pass that throws it, with the earlier
      // passes' work in the output; leave the same.
      std::size_t stopped = 0;
      while (!(kinds[stopped] && kPasses[stopped].mayStopOnOverlong)) ++stopped;
      Pipeline earlier = compose(run, kinds, 0, stopped, nullptr);
      copyThroughStage(run, run.paths.inputPath, earlier);
      throw;
    }
  });
}

}  // namespace pellumar
