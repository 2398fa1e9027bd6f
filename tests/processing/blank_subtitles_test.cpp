#include "processing/blank_subtitles.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "processing/run_failure.h"
#include "tests/support/rule_models.h"
#include "tests/support/run_fixture.h"
#include "tests/support/stage_runner.h"

namespace pellumar {
namespace {

using Lines = std::vector<std::string>;

// ---- index and frame lines, against the shared models ----

TEST(IsIndexLine, MatchesReadingTheNumberBack) {
  // What random lines of digits reach only by luck.
  for (const char* line : {"0", "-42", "999999999999999", "-100000000000000", "1000000000000000",
                           "-0", "+1", "01", "1.0", "1e3", "", "\xd9\xa1"}) {
    EXPECT_EQ(isIndexLine(line), testing::readsBackAsNumber(line)) << '"' << line << '"';
  }
  std::mt19937 random(4242);
  const std::string alphabet = "-+0123456789 x";
  for (int n = 0; n < 50000; ++n) {
    std::string line(random() % 19, ' ');
    for (char& c : line) {
      // Mostly digits, so that long numbers come up often.
      c = random() % 4 == 0 ? alphabet[random() % alphabet.size()]
                            : static_cast<char>('0' + random() % 10);
    }
    ASSERT_EQ(isIndexLine(line), testing::readsBackAsNumber(line)) << '"' << line << '"';
  }
}

TEST(FrameLineHasText, MatchesTheMarkTable) {
  std::mt19937 random(99);
  const std::string alphabet = "{{}}a 1";
  for (int n = 0; n < 20000; ++n) {
    std::string line(random() % 12, ' ');
    for (char& c : line) c = alphabet[random() % alphabet.size()];
    ASSERT_EQ(frameLineHasText(line), testing::hasTextByMarks(line)) << line;
  }
}

// ---- stages ----

struct StageResult {
  Lines written;
  Lines logged;
};

template <typename Stage>
StageResult runStage(const Lines& input) {
  testing::VectorLog log;
  Stage stage(log);
  Lines written = testing::runLines(stage, input);
  return {written, log.entries};
}

struct BlockCase {
  const char* name;
  Lines input;
  Lines written;
  Lines logged;
};

std::ostream& operator<<(std::ostream& out, const BlockCase& c) { return out << c.name; }

class BlockBlankStageTest : public ::testing::TestWithParam<BlockCase> {};

TEST_P(BlockBlankStageTest, WritesOrLeavesOutWholeBlocks) {
  const StageResult result = runStage<BlockBlankStage>(GetParam().input);
  EXPECT_EQ(result.written, GetParam().written);
  EXPECT_EQ(result.logged, GetParam().logged);
}

const char* const kTime = "00:00:01,000 --> 00:00:02,000";

INSTANTIATE_TEST_SUITE_P(
    Table, BlockBlankStageTest,
    ::testing::Values(
        BlockCase{"EmptyInput", {}, {}, {}},
        BlockCase{"BlankBlockBetweenTwo",
                  {"1", kTime, "a", "", "2", kTime, "", "3", kTime, "c", ""},
                  {"1", kTime, "a", "", "3", kTime, "c", ""},
                  {"Skipped line nr. 2"}},
        BlockCase{"OnlyIndexAndTimeAtTheEnd",
                  {"1", kTime, "a", "", "2", kTime},
                  {"1", kTime, "a", ""},
                  {"Skipped line nr. 2"}},
        BlockCase{"OnlyIndexAndTimeBeforeNextIndex",
                  {"1", kTime, "2", kTime, "b"},
                  {"2", kTime, "b"},
                  {"Skipped line nr. 1"}},
        BlockCase{"SingleBlankIsText", {"1", kTime, " ", ""}, {"1", kTime, " ", ""}, {}},
        BlockCase{"LinesOneAndTwoNotLookedAt", {"1", "text", "", ""}, {}, {"Skipped line nr. 1"}},
        BlockCase{"NumberOnlyTextLineSplitsTheBlock",
                  {"1", kTime, "1999", "", "2", kTime, "b", ""},
                  {"2", kTime, "b", ""},
                  {"Skipped line nr. 1", "Skipped line nr. 1999"}},
        BlockCase{"NumberBlockSecondLineNotLookedAt",
                  {"1", kTime, "1999", "more", "", "2", kTime, "b"},
                  {"2", kTime, "b"},
                  {"Skipped line nr. 1", "Skipped line nr. 1999"}},
        BlockCase{"NumberBlockWithThirdLineKept",
                  {"1", kTime, "1999", "more", "text"},
                  {"1999", "more", "text"},
                  {"Skipped line nr. 1"}},
        BlockCase{"LastBlockWithoutTrailingEmptyLine",
                  {"1", kTime, "a", "", "2", kTime, "b"},
                  {"1", kTime, "a", "", "2", kTime, "b"},
                  {}},
        BlockCase{"LastBlockKeepsItsEmptyLines",
                  {"1", kTime, "a", "", ""},
                  {"1", kTime, "a", "", ""},
                  {}},
        BlockCase{"LastBlockWithoutText",
                  {"1", kTime, "a", "", "2", kTime, "", ""},
                  {"1", kTime, "a", ""},
                  {"Skipped line nr. 2"}},
        BlockCase{"LeadingBlockWrittenWhateverItHolds",
                  {"header", "", "", "1", kTime, ""},
                  {"header", "", ""},
                  {"Skipped line nr. 1"}},
        BlockCase{"LeadingEmptyLines", {"", "", "1", kTime, "a"}, {"", "", "1", kTime, "a"}, {}},
        BlockCase{"NoIndexLineAtAll", {"a", "", "b"}, {"a", "", "b"}, {}},
        BlockCase{"EarlierLongerBlockLeavesNoTrace",
                  {"1", kTime, "a", "b", "c", "", "2", kTime, ""},
                  {"1", kTime, "a", "b", "c", ""},
                  {"Skipped line nr. 2"}},
        BlockCase{"NoRenumbering",
                  {"7", kTime, "a", "9", kTime, "b"},
                  {"7", kTime, "a", "9", kTime, "b"},
                  {}},
        BlockCase{"NegativeIndex", {"-3", kTime, ""}, {}, {"Skipped line nr. -3"}}),
    [](const ::testing::TestParamInfo<BlockCase>& testInfo) {
      return std::string(testInfo.param.name);
    });

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
    runStage<BlockBlankStage>(input);
  } catch (const OverlongBlock& e) {
    return e.what();
  }
  return std::nullopt;
}

TEST(BlockBlankStage, BuffersThirteenLinesAndStopsAtTheFourteenth) {
  const StageResult thirteen = runStage<BlockBlankStage>(joined(blockOf(13, "5"), {"6"}));
  EXPECT_EQ(thirteen.written, blockOf(13, "5"));
  EXPECT_EQ(thirteen.logged, Lines{"Skipped line nr. 6"});
  EXPECT_EQ(overlong(joined(blockOf(4, "1"), blockOf(14, "2"))),
            "Cannot buffer more than\r\n13 lines / screen (please check subline 2 in .srt file).");
  // A leading block is named by its first line.
  const Lines title = joined({"Title"}, Lines(12, ""));
  EXPECT_EQ(runStage<BlockBlankStage>(title).written, title);
  EXPECT_EQ(overlong(joined(title, {""})),
            "Cannot buffer more than\r\n13 lines / screen (please check subline Title in .srt "
            "file).");
}

// ---- the pass on files ----

std::string crlf(const Lines& lines) {
  std::string bytes;
  for (const auto& line : lines) bytes += line + "\r\n";
  return bytes;
}

const Lines kFrameFile{"{1}{2}a", "{3}{4}b", "{5}{6}c", "{7}{8}d"};
const Lines kSubRipFile{"1", kTime, "a", "", "2", kTime, "b", "",
                        "3", kTime, "c", "", "4", kTime, "d"};

Lines bothKinds() {
  Lines both;
  for (int n = 1; n <= 4; ++n)
    both.insert(both.end(), {std::to_string(n), kTime, "{y:i}Hi{b}", ""});
  return both;
}

// The chosen file decides the branch; the pass works on the output as it
// stands and replaces a log left by an earlier run.
struct FileCase {
  const char* name;
  std::string chosen, output;
  std::string expectedOutput;
  std::optional<std::string> expectedLog;  // absent: no log file remains
  std::optional<std::string> message;
};

std::ostream& operator<<(std::ostream& out, const FileCase& c) { return out << c.name; }

class DeleteBlankSubtitlesTest : public ::testing::TestWithParam<FileCase> {};

TEST_P(DeleteBlankSubtitlesTest, OnTheOutputFile) {
  const FileCase& c = GetParam();
  testing::RunFixture f("movie.srt");
  testing::writeBytes(f.run.paths.inputPath, c.chosen);
  testing::writeBytes(f.run.paths.outputPath, c.output);
  testing::writeBytes(f.run.paths.logPath, "old log\r\n");

  runStagedPass(f.run, testing::passOf(Option::DeleteBlankSubtitles));

  EXPECT_EQ(testing::readBytes(f.run.paths.outputPath), c.expectedOutput);
  EXPECT_EQ(testing::readBytes(f.run.paths.inputPath), c.chosen);
  EXPECT_EQ(testing::listFolder(f.dir.path()),
            c.expectedLog ? "movie.srt movie_PL.srt movie_PL.srt.log" : "movie.srt movie_PL.srt");
  if (c.expectedLog) {
    EXPECT_EQ(testing::readBytes(f.run.paths.logPath), *c.expectedLog);
  }
  if (!c.message) {
    EXPECT_TRUE(f.window.messages.empty());
  } else {
    ASSERT_EQ(f.window.messages.size(), 1u);
    EXPECT_EQ(f.window.messages[0].text, *c.message);
    EXPECT_EQ(f.window.messages[0].icon, MessageIcon::None);
    EXPECT_EQ(f.window.messages[0].title, std::optional<std::string>("Pellumar"));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, DeleteBlankSubtitlesTest,
    ::testing::Values(
        FileCase{"FrameBranchLogsEachLineLeftOut", crlf(kFrameFile),
                 crlf({"{1}{2}Hi", "{3}{4}", "", "{5}{6}{y:i}"}), crlf({"{1}{2}Hi", "{5}{6}{y:i}"}),
                 crlf({"Skipped line : {3}{4}", "Skipped line : "}), std::nullopt},
        FileCase{"NoLogRemainsWhenNothingIsLeftOut", crlf(kFrameFile), crlf(kFrameFile),
                 crlf(kFrameFile), std::nullopt, std::nullopt},
        FileCase{"BothKindsTakeTheFrameBranch", crlf(bothKinds()),
                 crlf({"1", kTime, "{y:i}Hi{b}", "{a}{b}x"}), crlf({"{a}{b}x"}),
                 crlf({"Skipped line : 1", std::string("Skipped line : ") + kTime,
                       "Skipped line : {y:i}Hi{b}"}),
                 std::nullopt},
        // The output no longer looks like SubRip; the chosen file decides.
        FileCase{"BlockBranchOnTheKindOfTheChosenFile", crlf(kSubRipFile),
                 crlf({"intro", "1", "x", "a", "", "2", "x", "", "3", "x", "c"}),
                 crlf({"intro", "1", "x", "a", "", "3", "x", "c"}), crlf({"Skipped line nr. 2"}),
                 std::nullopt},
        FileCase{"FileOfNeitherKindIsLeftAlone", "just text\r\n", "just text\n\n", "just text\n\n",
                 "old log\r\n",
                 "Unknown subtitle type.\r\nCannot process for \"Delete blank lines\" option."}),
    [](const ::testing::TestParamInfo<FileCase>& testInfo) {
      return std::string(testInfo.param.name);
    });

TEST(DeleteBlankSubtitles, OverlongBlockLeavesTheOutputAsItWas) {
  testing::RunFixture f("movie.srt");
  testing::writeBytes(f.run.paths.inputPath, crlf(kSubRipFile));
  const std::string output = crlf(joined({"1", kTime, "", "2", kTime, "a", ""}, blockOf(14, "3")));
  testing::writeBytes(f.run.paths.outputPath, output);
  testing::writeBytes(f.run.paths.logPath, "old log\r\n");

  EXPECT_THROW(runStagedPass(f.run, testing::passOf(Option::DeleteBlankSubtitles)), OverlongBlock);
  EXPECT_EQ(testing::readBytes(f.run.paths.outputPath), output);
  EXPECT_EQ(testing::readBytes(f.run.paths.logPath), "old log\r\n");
  EXPECT_EQ(testing::listFolder(f.dir.path()), "movie.srt movie_PL.srt movie_PL.srt.log");
  EXPECT_TRUE(f.window.messages.empty());
}

TEST(DeleteBlankSubtitles, MissingOutputRemovesTheLog) {
  testing::RunFixture f("movie.srt");
  testing::writeBytes(f.run.paths.inputPath, crlf(kSubRipFile));
  EXPECT_THROW(runStagedPass(f.run, testing::passOf(Option::DeleteBlankSubtitles)), RunFailure);
  EXPECT_EQ(testing::listFolder(f.dir.path()), "movie.srt");
}

}  // namespace
}  // namespace pellumar
