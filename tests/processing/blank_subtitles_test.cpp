// The stages that leave out blank subtitles and collapse runs of empty lines;
// the passes on files are in passes_test.cpp.

#include "processing/passes/blank_subtitles.h"

#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "processing/files/run_failure.h"
#include "processing/passes/srt_blank_lines.h"
#include "tests/support/random.h"
#include "tests/support/rule_models.h"
#include "tests/support/stage_runner.h"

namespace pellumar {
namespace {

using testing::Lines;

const std::string kTime = "00:00:01,000 --> 00:00:02,000";

// "1|T|a|" stands for the lines "1", kTime, "a", "".
Lines split(const std::string& text) {
  Lines lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line, '|');) lines.push_back(line == "T" ? kTime : line);
  if (text.ends_with('|')) lines.emplace_back();
  return lines;
}

// Random lines the models decide on; the listed ones come up only by luck.
TEST(IsIndexLine, MatchesReadingTheNumberBack) {
  for (const char* line : {"0", "-42", "999999999999999", "-100000000000000", "1000000000000000",
                           "-0", "+1", "01", "1.0", "1e3", "", "\xd9\xa1"}) {
    EXPECT_EQ(isIndexLine(line), testing::readsBackAsNumber(line)) << '"' << line << '"';
  }
  testing::Random random(4242);
  for (int n = 0; n < 50000; ++n) {
    // Mostly digits, so that long numbers come up often.
    const std::string line =
        random.text(18, "-+ x01234567890123456789012345678901234567890123456789");
    ASSERT_EQ(isIndexLine(line), testing::readsBackAsNumber(line)) << '"' << line << '"';
  }
}

TEST(FrameLineHasText, MatchesTheMarkTable) {
  testing::Random random(99);
  for (int n = 0; n < 20000; ++n) {
    const std::string line = random.text(11, "{{}}a 1");
    ASSERT_EQ(frameLineHasText(line), testing::hasTextByMarks(line)) << line;
  }
}

struct StageResult {
  Lines written, logged;
};

StageResult runBlockStage(const Lines& input) {
  testing::VectorLog log;
  BlockBlankStage stage(log);
  Lines written = testing::runLines(stage, input);
  return {written, log.entries};
}

TEST(BlockBlankStage, WritesOrLeavesOutWholeBlocks) {
  struct Case {
    const char *name, *input, *written, *skipped;  // skipped: the logged first lines
  };
  const Case cases[] = {
      {"EmptyInput", "", "", ""},
      {"BlankBlockBetweenTwo", "1|T|a||2|T||3|T|c|", "1|T|a||3|T|c|", "2"},
      {"OnlyIndexAndTimeAtTheEnd", "1|T|a||2|T", "1|T|a|", "2"},
      {"OnlyIndexAndTimeBeforeNextIndex", "1|T|2|T|b", "2|T|b", "1"},
      {"SingleBlankIsText", "1|T| |", "1|T| |", ""},
      {"LinesOneAndTwoNotLookedAt", "1|text||", "", "1"},
      {"NumberOnlyTextLineSplitsTheBlock", "1|T|1999||2|T|b|", "2|T|b|", "1|1999"},
      {"NumberBlockSecondLineNotLookedAt", "1|T|1999|more||2|T|b", "2|T|b", "1|1999"},
      {"NumberBlockWithThirdLineKept", "1|T|1999|more|text", "1999|more|text", "1"},
      {"LastBlockWithoutTrailingEmptyLine", "1|T|a||2|T|b", "1|T|a||2|T|b", ""},
      {"LastBlockKeepsItsEmptyLines", "1|T|a||", "1|T|a||", ""},
      {"LastBlockWithoutText", "1|T|a||2|T||", "1|T|a|", "2"},
      {"LeadingBlockWrittenWhateverItHolds", "header|||1|T|", "header||", "1"},
      {"LeadingEmptyLines", "||1|T|a", "||1|T|a", ""},
      {"NoIndexLineAtAll", "a||b", "a||b", ""},
      {"EarlierLongerBlockLeavesNoTrace", "1|T|a|b|c||2|T|", "1|T|a|b|c|", "2"},
      {"NoRenumbering", "7|T|a|9|T|b", "7|T|a|9|T|b", ""},
      {"NegativeIndex", "-3|T|", "", "-3"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const StageResult result = runBlockStage(split(c.input));
    EXPECT_EQ(result.written, split(c.written));
    Lines logged;
    for (const std::string& first : split(c.skipped)) logged.push_back("Skipped line nr. " + first);
    EXPECT_EQ(result.logged, logged);
  }
}

Lines blockOf(std::size_t size, const std::string& first) {
  Lines block{first, kTime};
  while (block.size() < size) block.push_back("text " + std::to_string(block.size()));
  return block;
}

Lines joined(Lines a, const Lines& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// The text of the OverlongBlock the stage throws, or nothing.
std::optional<std::string> overlong(const Lines& input) {
  try {
    runBlockStage(input);
  } catch (const OverlongBlock& e) {
    return e.what();
  }
  return std::nullopt;
}

TEST(BlockBlankStage, BuffersThirteenLinesAndStopsAtTheFourteenth) {
  const StageResult thirteen = runBlockStage(joined(blockOf(13, "5"), {"6"}));
  EXPECT_EQ(thirteen.written, blockOf(13, "5"));
  EXPECT_EQ(thirteen.logged, Lines{"Skipped line nr. 6"});
  EXPECT_EQ(overlong(joined(blockOf(4, "1"), blockOf(14, "2"))),
            "Cannot buffer more than\r\n13 lines / screen (please check subline 2 in .srt file).");
  // A leading block is named by its first line.
  const Lines title = joined({"Title"}, Lines(12, ""));
  EXPECT_EQ(runBlockStage(title).written, title);
  EXPECT_EQ(overlong(joined(title, {""})),
            "Cannot buffer more than\r\n13 lines / screen (please check subline Title in .srt "
            "file).");
}

// The fuzz target compares the stage with the model on its inputs.
TEST(SrtBlankLineStage, KeepsTheFirstEmptyLineOfEveryRun) {
  const std::pair<const char*, const char*> cases[] = {
      {"", ""},       {"a||||b", "a||b"},     {"||1", "|1"},
      {"1|||", "1|"}, {"| ||  |", "| ||  |"}, {"1|1|||2", "1|1||2"}};
  for (const auto& [before, after] : cases) {
    SrtBlankLineStage stage;
    EXPECT_EQ(testing::runLines(stage, split(before)), split(after)) << before;
    EXPECT_EQ(testing::collapseEmptyRuns(split(before)), split(after)) << before;
  }
}

}  // namespace
}  // namespace pellumar
