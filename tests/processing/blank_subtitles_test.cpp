#include "processing/blank_subtitles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "processing/run_context.h"
#include "processing/run_failure.h"
#include "processing/settings.h"
#include "tests/support/fake_window_system.h"
#include "tests/support/run_fixture.h"
#include "tests/support/stage_runner.h"
#include "tests/support/test_files.h"

namespace pellumar {
namespace {

using Lines = std::vector<std::string>;

// ---- index lines ----

struct IndexCase {
  const char* line;
  bool expected;
};

class IsIndexLineTest : public ::testing::TestWithParam<IndexCase> {};

TEST_P(IsIndexLineTest, ReadsBackUnchanged) {
  EXPECT_EQ(isIndexLine(GetParam().line), GetParam().expected) << '"' << GetParam().line << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Table, IsIndexLineTest,
    ::testing::Values(IndexCase{"0", true}, IndexCase{"1", true}, IndexCase{"42", true},
                      IndexCase{"-1", true}, IndexCase{"-42", true},
                      IndexCase{"999999999999999", true}, IndexCase{"-100000000000000", true},
                      IndexCase{"1000000000000000", false}, IndexCase{"-0", false},
                      IndexCase{"+1", false}, IndexCase{"01", false}, IndexCase{"00", false},
                      IndexCase{"-01", false}, IndexCase{"1.0", false}, IndexCase{"1e3", false},
                      IndexCase{" 1", false}, IndexCase{"1 ", false}, IndexCase{"", false},
                      IndexCase{"-", false}, IndexCase{"--1", false}, IndexCase{"12a", false},
                      IndexCase{"00:00:01,000 --> 00:00:02,000", false},
                      IndexCase{"\xd9\xa1", false}));

// The rule as first described: read the leading number, write it back with
// at most 15 significant digits, compare. Lines here hold no "." or "e", so
// only whole numbers come up.
bool readsBackUnchanged(const std::string& line) {
  std::size_t end = 0;
  if (end < line.size() && (line[end] == '-' || line[end] == '+')) ++end;
  const std::size_t digitsStart = end;
  while (end < line.size() && line[end] >= '0' && line[end] <= '9') ++end;
  const double value = end > digitsStart ? std::strtod(line.substr(0, end).c_str(), nullptr) : 0.0;
  char text[64];
  std::snprintf(text, sizeof text, "%.15g", value == 0.0 ? 0.0 : value);
  return line == text;
}

TEST(IsIndexLine, MatchesReadingTheNumberBack) {
  std::mt19937 random(4242);
  const std::string alphabet = "-+0123456789 x";
  for (int n = 0; n < 50000; ++n) {
    std::string line(random() % 19, ' ');
    for (std::size_t i = 0; i < line.size(); ++i) {
      // Mostly digits, so that long numbers come up often.
      line[i] = random() % 4 == 0 ? alphabet[random() % alphabet.size()]
                                  : static_cast<char>('0' + random() % 10);
    }
    ASSERT_EQ(isIndexLine(line), readsBackUnchanged(line)) << '"' << line << '"';
  }
}

// ---- frame lines ----

class FrameLineHasTextTest : public ::testing::TestWithParam<IndexCase> {};

TEST_P(FrameLineHasTextTest, LooksAfterTheFrameCodes) {
  EXPECT_EQ(frameLineHasText(GetParam().line), GetParam().expected) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(
    Table, FrameLineHasTextTest,
    ::testing::Values(IndexCase{"{100}{200}Hello", true}, IndexCase{"{100}{200}", false},
                      IndexCase{"", false}, IndexCase{"{100}{200}{}", false},
                      IndexCase{"{100}{200}{y:i}", true}, IndexCase{"{100}{200} ", true},
                      IndexCase{"plain text", false}, IndexCase{"{1}Hi{2}", false},
                      IndexCase{"}}{{x", true}, IndexCase{"{1}{2}{{}}}", false},
                      IndexCase{"{1}x", false}));

// The mark table, one character at a time.
bool hasTextByMarks(const std::string& line) {
  bool open1 = false, open2 = false, close1 = false, close2 = false;
  for (const char c : line) {
    if (c == '{') {
      (open1 ? open2 : open1) = true;
    } else if (c == '}') {
      (close1 ? close2 : close1) = true;
    } else if (open1 && open2 && close1 && close2) {
      return true;
    }
  }
  return false;
}

TEST(FrameLineHasText, MatchesTheMarkTable) {
  std::mt19937 random(99);
  const std::string alphabet = "{{}}a";
  for (int n = 0; n < 20000; ++n) {
    std::string line(random() % 12, ' ');
    for (char& c : line) c = alphabet[random() % alphabet.size()];
    ASSERT_EQ(frameLineHasText(line), hasTextByMarks(line)) << line;
  }
}

TEST(OverlongBlockMessage, NamesTheFirstLine) {
  EXPECT_EQ(overlongBlockMessage("17"),
            "Cannot buffer more than\r\n13 lines / screen (please check subline 17 in .srt file).");
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

TEST(FrameBlankStage, KeepsLinesWithTextAndLogsTheRest) {
  const StageResult result =
      runStage<FrameBlankStage>({"{100}{200}Hello", "{100}{200}", "", "{100}{200}{}",
                                 "{100}{200}{y:i}", "{100}{200} ", "plain", "{1}Hi{2}"});
  EXPECT_EQ(result.written, (Lines{"{100}{200}Hello", "{100}{200}{y:i}", "{100}{200} "}));
  EXPECT_EQ(result.logged,
            (Lines{"Skipped line : {100}{200}", "Skipped line : ", "Skipped line : {100}{200}{}",
                   "Skipped line : plain", "Skipped line : {1}Hi{2}"}));
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
        BlockCase{"BlankBlockAfterTwoTextLines",
                  {"1", kTime, "a", "b", "", "2", kTime, "", "3", kTime, "c"},
                  {"1", kTime, "a", "b", "", "3", kTime, "c"},
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

TEST(BlockBlankStage, BuffersThirteenLines) {
  Lines input = blockOf(13, "5");
  input.push_back("6");
  const StageResult result = runStage<BlockBlankStage>(input);
  EXPECT_EQ(result.written, blockOf(13, "5"));
  EXPECT_EQ(result.logged, Lines{"Skipped line nr. 6"});
}

TEST(BlockBlankStage, FourteenthLineStopsNamingTheIndexLine) {
  Lines input = blockOf(4, "1");
  const Lines overlong = blockOf(14, "2");
  input.insert(input.end(), overlong.begin(), overlong.end());
  try {
    runStage<BlockBlankStage>(input);
    FAIL() << "no OverlongBlock";
  } catch (const OverlongBlock& e) {
    EXPECT_STREQ(e.what(),
                 "Cannot buffer more than\r\n13 lines / screen (please check subline 2 in .srt "
                 "file).");
  }
}

TEST(BlockBlankStage, OverlongLeadingBlockNamesTheFirstLine) {
  Lines input{"Title"};
  for (int n = 0; n < 12; ++n) input.push_back("");
  EXPECT_EQ(runStage<BlockBlankStage>(input).written, input);
  input.push_back("");
  EXPECT_THROW(
      {
        try {
          runStage<BlockBlankStage>(input);
        } catch (const OverlongBlock& e) {
          EXPECT_NE(std::string(e.what()).find("subline Title in"), std::string::npos);
          throw;
        }
      },
      OverlongBlock);
}

// ---- the pass on files ----

std::string crlf(const Lines& lines) {
  std::string bytes;
  for (const auto& line : lines) bytes += line + "\r\n";
  return bytes;
}

class DeleteBlankSubtitlesTest : public ::testing::Test {
 protected:
  void SetUp() override { run.kind = {}; }

  testing::TempDir dir;
  Settings settings;
  testing::FakeWindowSystem window;
  RunContext run{settings,
                 window,
                 {dir.file("movie.srt"), dir.file("movie_PL.srt"),
                  dir.file("movie_PL_22.srt"), dir.file("movie_PL.srt.log")},
                 TextEncoding::utf8(),
                 {}};
};

const Lines kFrameFile{"{1}{2}a", "{3}{4}b", "{5}{6}c", "{7}{8}d"};
const Lines kSubRipFile{"1", kTime, "a", "", "2", kTime, "b", "",
                        "3", kTime, "c", "", "4", kTime, "d"};

TEST_F(DeleteBlankSubtitlesTest, FrameBranchLogsEachLineLeftOut) {
  testing::writeBytes(run.paths.inputPath, crlf(kFrameFile));
  testing::writeBytes(run.paths.outputPath, crlf({"{1}{2}Hi", "{3}{4}", "", "{5}{6}{y:i}"}));

  runStagedPass(run, testing::passOf(Option::DeleteBlankSubtitles));

  EXPECT_EQ(testing::readBytes(run.paths.outputPath), crlf({"{1}{2}Hi", "{5}{6}{y:i}"}));
  EXPECT_EQ(testing::readBytes(run.paths.logPath),
            crlf({"Skipped line : {3}{4}", "Skipped line : "}));
  EXPECT_EQ(testing::readBytes(run.paths.inputPath), crlf(kFrameFile));
  EXPECT_EQ(testing::listFolder(dir.path()), "movie.srt movie_PL.srt movie_PL.srt.log");
  EXPECT_TRUE(window.messages.empty());
}

TEST_F(DeleteBlankSubtitlesTest, NoLogRemainsWhenNothingIsLeftOut) {
  testing::writeBytes(run.paths.inputPath, crlf(kFrameFile));
  testing::writeBytes(run.paths.outputPath, crlf(kFrameFile));
  testing::writeBytes(run.paths.logPath, "Skipped line : from an earlier run\r\n");

  runStagedPass(run, testing::passOf(Option::DeleteBlankSubtitles));

  EXPECT_EQ(testing::readBytes(run.paths.outputPath), crlf(kFrameFile));
  EXPECT_EQ(testing::listFolder(dir.path()), "movie.srt movie_PL.srt");
}

TEST_F(DeleteBlankSubtitlesTest, BothKindsTakeTheFrameBranch) {
  Lines both;
  for (int n = 1; n <= 4; ++n) {
    both.insert(both.end(), {std::to_string(n), kTime, "{y:i}Hi{b}", ""});
  }
  testing::writeBytes(run.paths.inputPath, crlf(both));
  testing::writeBytes(run.paths.outputPath, crlf({"1", kTime, "{y:i}Hi{b}", "{a}{b}x"}));

  runStagedPass(run, testing::passOf(Option::DeleteBlankSubtitles));

  EXPECT_EQ(testing::readBytes(run.paths.outputPath), crlf({"{a}{b}x"}));
  EXPECT_EQ(testing::readBytes(run.paths.logPath),
            crlf({"Skipped line : 1", std::string("Skipped line : ") + kTime,
                  "Skipped line : {y:i}Hi{b}"}));
}

TEST_F(DeleteBlankSubtitlesTest, BlockBranchOnTheOutputKindOfTheChosenFile) {
  testing::writeBytes(run.paths.inputPath, crlf(kSubRipFile));
  // The output no longer looks like SubRip; the chosen file decides.
  testing::writeBytes(run.paths.outputPath,
                      crlf({"intro", "1", "x", "a", "", "2", "x", "", "3", "x", "c"}));

  runStagedPass(run, testing::passOf(Option::DeleteBlankSubtitles));

  EXPECT_EQ(testing::readBytes(run.paths.outputPath),
            crlf({"intro", "1", "x", "a", "", "3", "x", "c"}));
  EXPECT_EQ(testing::readBytes(run.paths.logPath), crlf({"Skipped line nr. 2"}));
  EXPECT_EQ(testing::listFolder(dir.path()), "movie.srt movie_PL.srt movie_PL.srt.log");
}

TEST_F(DeleteBlankSubtitlesTest, FileOfNeitherKindIsLeftAlone) {
  testing::writeBytes(run.paths.inputPath, "just text\r\n");
  testing::writeBytes(run.paths.outputPath, "just text\n\n");
  testing::writeBytes(run.paths.logPath, "old log\r\n");

  runStagedPass(run, testing::passOf(Option::DeleteBlankSubtitles));

  ASSERT_EQ(window.messages.size(), 1u);
  EXPECT_EQ(window.messages[0].text,
            "Unknown subtitle type.\r\nCannot process for \"Delete blank lines\" option.");
  EXPECT_EQ(window.messages[0].icon, MessageIcon::None);
  EXPECT_EQ(window.messages[0].title, std::optional<std::string>("Pellumar"));
  EXPECT_EQ(testing::readBytes(run.paths.outputPath), "just text\n\n");
  EXPECT_EQ(testing::readBytes(run.paths.logPath), "old log\r\n");
  EXPECT_EQ(testing::listFolder(dir.path()), "movie.srt movie_PL.srt movie_PL.srt.log");
}

TEST_F(DeleteBlankSubtitlesTest, OverlongBlockLeavesTheOutputAsItWas) {
  testing::writeBytes(run.paths.inputPath, crlf(kSubRipFile));
  Lines output{"1", kTime, "", "2", kTime, "a", ""};
  const Lines overlong = blockOf(14, "3");
  output.insert(output.end(), overlong.begin(), overlong.end());
  testing::writeBytes(run.paths.outputPath, crlf(output));
  testing::writeBytes(run.paths.logPath, "old log\r\n");

  try {
    runStagedPass(run, testing::passOf(Option::DeleteBlankSubtitles));
    FAIL() << "no OverlongBlock";
  } catch (const OverlongBlock& e) {
    EXPECT_STREQ(e.what(),
                 "Cannot buffer more than\r\n13 lines / screen (please check subline 3 in .srt "
                 "file).");
  }
  EXPECT_EQ(testing::readBytes(run.paths.outputPath), crlf(output));
  EXPECT_EQ(testing::readBytes(run.paths.logPath), "old log\r\n");
  EXPECT_EQ(testing::listFolder(dir.path()), "movie.srt movie_PL.srt movie_PL.srt.log");
  EXPECT_TRUE(window.messages.empty());
}

TEST_F(DeleteBlankSubtitlesTest, MissingOutputRemovesTheLog) {
  testing::writeBytes(run.paths.inputPath, crlf(kSubRipFile));
  EXPECT_THROW(runStagedPass(run, testing::passOf(Option::DeleteBlankSubtitles)), RunFailure);
  EXPECT_EQ(testing::listFolder(dir.path()), "movie.srt");
}

}  // namespace
}  // namespace pellumar
