// The line rules and stages of the passes on any lines, one picked by the
// first byte (see Stage): each gives what its slow model in
// tests/support/rule_models.h gives, and a rule applied again changes
// nothing.

#include "fuzz/fuzz_support.h"
#include "processing/passes/blank_subtitles.h"
#include "processing/passes/formatting_codes.h"
#include "processing/passes/local_chars.h"
#include "processing/passes/redundant_spaces.h"
#include "processing/passes/replace_strings.h"
#include "processing/passes/srt_blank_lines.h"
#include "tests/support/rule_models.h"
#include "tests/support/stage_runner.h"

namespace pellumar::fuzz::line_stages {

enum Stage { kCodes, kSpacesBefore, kSpacesAfter, kLocalChars, kReplace, kFrames, kBlocks, kSrt };

// The whole rest as one line: a rule must cope with any bytes. The models
// are too slow for the longest.
void checkRule(void (*rule)(std::string&), std::string (*model)(std::string),
               std::string_view before) {
  std::string line(before), again;
  rule(line);
  FUZZ_CHECK(before.size() > 2048 || line == model(std::string(before)));
  rule(again = line);
  FUZZ_CHECK(again == line);
}

// A table of from-texts and to-texts, each ended by a NUL, applied to each
// line of the rest. Texts reach the local-character table as UTF-8, lone
// surrogates allowed; its lines too, unless `anyLines`.
template <typename Table, typename Model>
void checkTable(ByteReader& input, std::size_t entries, bool decoded, bool anyLines, Model model) {
  const auto asRead = [&](const std::string& text) {
    return decoded ? testing::utf8Of(testing::charactersOf(text)) : text;
  };
  std::vector<TextPair> table(entries);
  for (TextPair& entry : table)
    entry = {asRead(input.piece(decoded ? 6 : 8)), asRead(input.piece(8))};
  const Table prepared(table);
  for (std::string line : input.lines()) {
    if (!anyLines) line = asRead(line);
    const std::string expected = model(table, line);
    prepared.apply(line);
    FUZZ_CHECK(line == expected);
  }
}

int run(const std::uint8_t* data, std::size_t size) {
  ByteReader input(data, size);
  const Stage stage = Stage(input.byte() % 8);
  testing::VectorLog log;
  testing::VectorSink out;
  if (stage == kCodes) checkRule(stripFormattingCodes, testing::stripCodesOneAtATime, input.rest);
  if (stage == kSpacesBefore)
    checkRule(removeSpacesBeforePunctuation, testing::cutSpacesBeforePunctuationOneAtATime,
              input.rest);
  if (stage == kSpacesAfter)
    checkRule(trimAndRemoveSpacesAfterHyphens, testing::trimAndCutSpacesAfterHyphensOneAtATime,
              input.rest);
  // The byte after the choice gives the table's size; for the local
  // characters its high bit lets the lines hold any bytes; now and then a
  // replacement table is past the 128 entries a line's positions are kept
  // for on the stack.
  const unsigned char shape = stage == kLocalChars || stage == kReplace ? input.byte() : 0;
  if (stage == kLocalChars)
    checkTable<LocalCharTable>(input, shape % 8, true, shape >= 0x80, testing::substituteOneByOne);
  if (stage == kReplace)
    checkTable<ReplacementTable>(input, shape >= 250 ? 130 : shape % 12, false, true,
                                 testing::replaceEntryByEntry);
  if (stage == kFrames) {
    testing::Lines kept, skipped;
    for (const std::string& line : input.lines()) {
      if (testing::hasTextByMarks(line)) kept.push_back(line);
      if (!testing::hasTextByMarks(line)) skipped.push_back(kSkippedFrameLine + line);
    }
    FrameBlankStage frames(log);
    FUZZ_CHECK(testing::runLines(frames, input.lines()) == kept && log.entries == skipped);
  }
  if (stage == kBlocks) {
    const testing::BlockModel model = testing::blocksOf(input.lines());
    BlockBlankStage blocks(log);
    try {
      testing::runLines(blocks, input.lines(), out);
      FUZZ_CHECK(!model.overlongAt);
    } catch (const OverlongBlock& block) {
      FUZZ_CHECK(model.overlongAt && block.message() == overlongBlockMessage(*model.overlongAt));
    }
    FUZZ_CHECK(out.lines == model.out && log.entries == model.log);
  }
  if (stage == kSrt) {
    SrtBlankLineStage collapse;
    FUZZ_CHECK(testing::runLines(collapse, input.lines()) ==
               testing::collapseEmptyRuns(input.lines()));
  }
  return 0;
}

}  // namespace pellumar::fuzz::line_stages

PELLUMAR_FUZZ_TARGET(line_stages)
