#include "processing/passes/pass_table.h"

#include <array>

#include "processing/passes/blank_subtitles.h"
#include "processing/passes/formatting_codes.h"
#include "processing/passes/redundant_spaces.h"
#include "processing/passes/srt_blank_lines.h"

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
  const LocalCharTable& table = in.tables.localChars;
  return stagesOf(ruleStage([&table](std::string& line) { table.apply(line); }));
}

Stages replacementStages(const PassInput& in) {
  const ReplacementTable& table = in.tables.replacements;
  return stagesOf(ruleStage([&table](std::string& line) { table.apply(line); }));
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
  if (in.kind.isMicroDvd) return stagesOf(std::make_unique<FrameBlankStage>(*in.log));
  return stagesOf(std::make_unique<BlockBlankStage>(*in.log));
}

Stages srtBlankLineStages(const PassInput&) {
  return stagesOf(std::make_unique<SrtBlankLineStage>());
}

bool eitherKind(const SubtitleKind& kind) { return kind.isMicroDvd || kind.isSubRip; }
bool subRip(const SubtitleKind& kind) { return kind.isSubRip; }

// The captions and help texts are the program's own words, spelling included.
const std::array<Pass, kPassCount> kPasses{{
    {.id = PassId::SubstituteLocalChars,
     .caption = "Substitute localized chararacters",
     .helpText = "Change locale char. found in subtitle files as stated in \"lexmend.ini\" on "
                 "\"[Local_char]\" section",
     .flag = "local-chars",
     .flagHelp = "Substitute localized characters from [LOCAL_CHAR] (default: on)",
     .onByDefault = true,
     .whenNotAsked = WhenNotAsked::CopyUnchanged,
     .writes = &RuleTables::localCharEntries,
     .stages = &localCharStages},
    {.id = PassId::ReplaceStrings,
     .caption = "Search and Replace strings",
     .helpText = "Change strings as defined in \"lexmend.ini\" on \"[RStrings]\" section",
     .flag = "replace-strings",
     .flagHelp = "Search and replace strings from [RSTRINGS] (default: on)",
     .onByDefault = true,
     .whenNotAsked = WhenNotAsked::CopyUnchanged,
     .writes = &RuleTables::replacementEntries,
     .stages = &replacementStages},
    {.id = PassId::RemoveFormattingCodes,
     .caption = "Remove font styles and colours",
     .helpText = "Remove formatting codes (ex.{C:$FF0000};{Y:i,u} )",
     .flag = "remove-codes",
     .flagHelp = "Remove font styles and colours: formatting codes in braces",
     .whenNotAsked = WhenNotAsked::MakeOutputWritable,
     .stages = &formattingCodeStages},
    {.id = PassId::DeleteRedundantSpaces,
     .caption = "Delete redundant spaces",
     .helpText = "Deletes all nonrelevant spaces (i.e. spaces preceding .,;: or spaces after-)",
     .flag = "delete-spaces",
     .flagHelp = "Delete redundant spaces before punctuation and after hyphens",
     .stages = &redundantSpaceStages},
    {.id = PassId::DeleteBlankSubtitles,
     .caption = "Delete blank lines",
     .helpText = "Remove blank lines (removes blank subtitling lines, incl. it's frame index)",
     .flag = "delete-blank",
     .flagHelp = "Delete blank lines: subtitles without text, logged to OUTPUT.log",
     .kindFits = &eitherKind,
     .keepsSkipLog = true,
     .mayStopOnOverlong = true,
     .stages = &blankSubtitleStages},
    {.id = PassId::FixSrtBlankLines,
     .caption = "Fix SRT blank lines",
     .helpText = "Fix SRT blank lines (removes blank subtitling lines from *.srt files, but "
                 "leaves frame index)",
     .flag = "fix-srt-blank",
     .flagHelp = "Fix SRT blank lines: collapse runs of empty lines",
     .kindFits = &subRip,
     .stages = &srtBlankLineStages},
}};

}  // namespace

std::span<const Pass> passTable() { return kPasses; }

const Pass& passOf(PassId id) { return kPasses[static_cast<std::size_t>(id)]; }

PassSet PassSet::all() {
  PassSet set;
  for (const Pass& pass : kPasses) set.set(pass.id);
  return set;
}

PassSet PassSet::defaults() {
  PassSet set;
  for (const Pass& pass : kPasses) set.set(pass.id, pass.onByDefault);
  return set;
}

}  // namespace pellumar
