#include "processing/single_pass.h"

#include <sys/stat.h>

#include <optional>

#include "processing/blank_subtitles.h"
#include "processing/file_ops.h"
#include "processing/formatting_codes.h"
#include "processing/line_writer.h"
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

// In the staged run a pass that writes a character the output's code page
// cannot hold fails there, even when a later pass would have removed it. The
// single pass checks the line after each table pass and fails the same way.
class CodePageCheck {
 public:
  CodePageCheck(const CodePage& page, const std::string& outputPath)
      : page_(page), outputPath_(outputPath) {}
  void check(const std::string& line, std::size_t lineNumber) const {
    bytes_.clear();
    if (auto bad = page_.encode(line, bytes_)) {
      throw RunFailure(cannotHoldMessage(outputPath_, lineNumber, *bad, page_));
    }
  }

 private:
  const CodePage& page_;
  const std::string& outputPath_;
  mutable std::string bytes_;
};

// Passes A to D change every line on its own, so one stage applies the
// ticked rules in turn rather than handing each line through a stage each.
struct LineRules {
  std::optional<LocalCharTable> localChars;
  std::optional<ReplacementTable> replacements;
  bool removeCodes = false;
  bool deleteSpaces = false;
  std::optional<CodePageCheck> codePageCheck;
  std::size_t lineNumber = 0;

  void operator()(std::string& line) {
    ++lineNumber;
    if (localChars) {
      localChars->apply(line);
      if (codePageCheck) codePageCheck->check(line, lineNumber);
    }
    if (replacements) {
      replacements->apply(line);
      if (codePageCheck) codePageCheck->check(line, lineNumber);
    }
    if (removeCodes) stripFormattingCodes(line);
    if (deleteSpaces) {
      removeSpacesBeforePunctuation(line);
      trimAndRemoveSpacesAfterHyphens(line);
    }
  }
};

// True when a to-text of a table in use holds a character the page cannot hold.
bool tablesMayWriteWhatThePageCannotHold(const RunContext& run, const Ticked& ticked) {
  if (run.encoding.form != TextEncoding::Form::Legacy) return false;
  std::string bytes;
  auto anyCannot = [&](const std::vector<TextPair>& table) {
    for (const TextPair& entry : table) {
      bytes.clear();
      if (run.encoding.codePage->encode(entry.to, bytes)) return true;
    }
    return false;
  };
  return (ticked.localChars && anyCannot(run.settings.localChars)) ||
         (ticked.replaceStrings && anyCannot(run.settings.replacements));
}

void addLineRules(Pipeline& pipeline, const RunContext& run, const Ticked& ticked) {
  LineRules rules;
  if (ticked.localChars && !run.settings.localChars.empty()) {
    rules.localChars.emplace(run.settings.localChars);
  }
  if (ticked.replaceStrings && !run.settings.replacements.empty()) {
    rules.replacements.emplace(run.settings.replacements);
  }
  rules.removeCodes = ticked.removeCodes;
  rules.deleteSpaces = ticked.deleteSpaces;
  if (tablesMayWriteWhatThePageCannotHold(run, ticked)) {
    rules.codePageCheck.emplace(*run.encoding.codePage, run.paths.outputPath);
  }
  if (rules.localChars || rules.replacements || rules.removeCodes || rules.deleteSpaces) {
    pipeline.add(ruleStage(std::move(rules)));
  }
}

// The staged run writes every pass's lines and reads them back; the single
// pass hands them on as they are. Reading back gives the same text unless it
// holds a line break or a character the encoding does not carry unchanged.
bool readsBackUnchanged(std::string_view text, const TextEncoding& encoding) {
  if (text.find_first_of("\r\n") != std::string_view::npos) return false;
  switch (encoding.form) {
    case TextEncoding::Form::Utf8:
      return true;
    case TextEncoding::Form::Utf16Le:
    case TextEncoding::Form::Utf16Be:
      // Lone surrogates side by side would pair up.
      return isValidUtf8(text);
    case TextEncoding::Form::Utf32Le:
    case TextEncoding::Form::Utf32Be:
      // Every character, a lone surrogate too, is one unit of its own.
      return isValidUtf8(text);
    case TextEncoding::Form::Legacy: {
      std::string bytes, back;
      // A character the page cannot hold fails both runs alike (see
      // CodePageCheck); only a character that comes back changed differs.
      if (encoding.codePage->encode(text, bytes)) return true;
      encoding.codePage->decode(bytes, back);
      return back == text;
    }
  }
  return false;
}

// A pass writes only characters of the chosen file and of its table's to-texts.
bool passesWriteOnlyWhatReadsBack(RunContext& run) {
  const TextEncoding& encoding = run.encoding;
  if (encoding.form == TextEncoding::Form::Legacy) {
    std::string decoded;
    for (int b = 0; b < 256; ++b) {
      // CR and LF end lines; they never stand inside one.
      if (b == '\r' || b == '\n') continue;
      decoded.clear();
      encoding.codePage->decode(std::string(1, static_cast<char>(b)), decoded);
      if (!readsBackUnchanged(decoded, encoding)) return false;
    }
  }
  auto tableReadsBack = [&encoding](const std::vector<TextPair>& table) {
    for (const TextPair& entry : table) {
      if (!readsBackUnchanged(entry.to, encoding)) return false;
    }
    return true;
  };
  if (run.window.isTicked(Option::SubstituteLocalChars) &&
      !tableReadsBack(run.settings.localChars)) {
    return false;
  }
  return !run.window.isTicked(Option::ReplaceStrings) || tableReadsBack(run.settings.replacements);
}

}  // namespace

bool singlePassMatchesStaged(RunContext& run) {
  const auto form = run.encoding.form;
  const bool utf16 = form == TextEncoding::Form::Utf16Le || form == TextEncoding::Form::Utf16Be;
  const bool utf32 = form == TextEncoding::Form::Utf32Le || form == TextEncoding::Form::Utf32Be;
  if (utf16 || utf32) {
    struct stat info {};
    if (::stat(run.paths.inputPath.c_str(), &info) != 0 || info.st_size % (utf32 ? 4 : 2) != 0) {
      return false;
    }
  }
  return passesWriteOnlyWhatReadsBack(run);
}

void runSinglePass(RunContext& run) {
  WindowSystem& window = run.window;
  const Ticked ticked{window.isTicked(Option::SubstituteLocalChars),
                      window.isTicked(Option::ReplaceStrings),
                      window.isTicked(Option::RemoveFormattingCodes),
                      window.isTicked(Option::DeleteRedundantSpaces),
                      window.isTicked(Option::DeleteBlankSubtitles),
                      window.isTicked(Option::FixSrtBlankLines)};

  // A failure before the commit leaves whatever stood at the output name as
  // it was, like a failing first pass of the staged run.
  {
    std::optional<SubtitleKind> blankKind, srtKind;
    if (ticked.deleteBlank) blankKind = askSubtitleKind(run, Option::DeleteBlankSubtitles);
    // One detection serves both options; each still says its message.
    if (ticked.fixSrtBlank) {
      srtKind = blankKind ? askSubtitleKind(run, Option::FixSrtBlankLines, *blankKind)
                          : askSubtitleKind(run, Option::FixSrtBlankLines);
    }

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
  }
}

}  // namespace pellumar
