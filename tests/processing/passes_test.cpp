// Each line pass of the staged run on its own, on files: it rewrites the
// output as it stands, never the chosen file, whose kind decides the branch.

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "processing/files/run_failure.h"
#include "tests/support/run_fixture.h"

namespace pellumar {
namespace {

const std::string kTime = "00:00:01,000 --> 00:00:02,000";

using testing::joinLines;

std::string fourSubtitles(const std::string& second, const std::string& third = "x") {
  std::vector<std::string> lines;
  for (int n = 1; n <= 4; ++n) lines.insert(lines.end(), {std::to_string(n), second, third, ""});
  return joinLines(lines);
}

const std::string kSubRip =
    joinLines({"1", kTime, "a", "", "2", kTime, "b", "", "3", kTime, "c", "", "4", kTime, "d"});
const std::string kFrames = joinLines({"{1}{2}a", "{3}{4}b", "{5}{6}c", "{7}{8}d"});
const std::string kLooseEmptyLines = "\r\n\r\n1\r\nx\r\n\r\n\r\n\r\n2\nx\n\n\n";
const std::string kUnknown = "Unknown subtitle type.\r\nCannot process for \"";

struct PassCase {
  const char* name;
  Option option;
  const char* file;
  std::string chosen, output, expectedOutput;
  std::optional<std::string> log = {};      // the log left beside the output
  std::optional<std::string> message = {};  // the one message shown
  bool overlong = false;                    // fails on a block too long to buffer, changing nothing
};

std::string overlongBlock() {
  std::string output = joinLines({"1", kTime, "", "2", kTime, "a", "", "3", kTime});
  for (int n = 0; n < 12; ++n) output += "text\r\n";
  return output;
}

TEST(StagedPass, RewritesTheOutputOnly) {
  const PassCase cases[] = {
      {"FormattingCodes", Option::RemoveFormattingCodes, "movie.sub", "{1}{2}{y:i}chosen\r\n",
       "{1}{2}{y:i}Hi\r\n{ }\r\n{y:\ni}\r\n{a x}{b", "{1}{2}Hi\r\n\r\n{y:\r\ni}\r\n{b\r\n"},
      {"RedundantSpaces", Option::DeleteRedundantSpaces, "a.txt", "untouched , really\r\n",
       " - Hi , you !  \r\n   \r\n- a - b .\n", "-Hi, you!\r\n\r\n-a -b.\r\n"},
      {"SrtBlankLinesOfSubRip", Option::FixSrtBlankLines, "movie.txt", fourSubtitles(kTime),
       kLooseEmptyLines, joinLines({"", "1", "x", "", "2", "x", ""})},
      {"SrtBlankLinesOfBothKinds", Option::FixSrtBlankLines, "movie.txt",
       fourSubtitles("{1}{2} --> {3}{4}"), kLooseEmptyLines,
       joinLines({"", "1", "x", "", "2", "x", ""})},
      {"SrtBlankLinesFrameBasedSilently", Option::FixSrtBlankLines, "movie.txt",
       fourSubtitles("{1}{2}"), kLooseEmptyLines, kLooseEmptyLines},
      {"SrtBlankLinesOfNeitherKind", Option::FixSrtBlankLines, "movie.txt", "text\r\n\r\n\r\n",
       kLooseEmptyLines, kLooseEmptyLines, std::nullopt,
       kUnknown + "Fix SRT blank lines\" option."},
      // The blank-subtitle pass replaces a log left by an earlier run.
      {"BlankFramesLoggedLineByLine", Option::DeleteBlankSubtitles, "movie.srt", kFrames,
       joinLines({"{1}{2}Hi", "{3}{4}", "", "{5}{6}{y:i}"}), joinLines({"{1}{2}Hi", "{5}{6}{y:i}"}),
       joinLines({"Skipped line : {3}{4}", "Skipped line : "})},
      {"NoLogWhenNothingIsLeftOut", Option::DeleteBlankSubtitles, "movie.srt", kFrames, kFrames,
       kFrames},
      {"BothKindsTakeTheFrameBranch", Option::DeleteBlankSubtitles, "movie.srt",
       fourSubtitles(kTime, "{y:i}Hi{b}"), joinLines({"1", kTime, "{y:i}Hi{b}", "{a}{b}x"}),
       joinLines({"{a}{b}x"}),
       joinLines({"Skipped line : 1", "Skipped line : " + kTime, "Skipped line : {y:i}Hi{b}"})},
      {"BlockBranchForASubRipChosenFile", Option::DeleteBlankSubtitles, "movie.srt", kSubRip,
       joinLines({"intro", "1", "x", "a", "", "2", "x", "", "3", "x", "c"}),
       joinLines({"intro", "1", "x", "a", "", "3", "x", "c"}), joinLines({"Skipped line nr. 2"})},
      {"FileOfNeitherKindIsLeftAlone", Option::DeleteBlankSubtitles, "movie.srt", "just text\r\n",
       "just text\n\n", "just text\n\n", "old log\r\n", kUnknown + "Delete blank lines\" option."},
      {"OverlongBlockLeavesTheOutputAndLogAsTheyWere", Option::DeleteBlankSubtitles, "movie.srt",
       kSubRip, overlongBlock(), overlongBlock(), "old log\r\n", std::nullopt, true}};
  for (const PassCase& c : cases) {
    SCOPED_TRACE(c.name);
    testing::RunFixture f(c.file);
    const JobPaths& paths = f.run.paths;
    testing::writeBytes(paths.inputPath, c.chosen);
    testing::writeBytes(paths.outputPath, c.output);
    if (c.option == Option::DeleteBlankSubtitles) testing::writeBytes(paths.logPath, "old log\r\n");

    if (c.overlong) {
      EXPECT_THROW(runStagedPass(f.run, testing::passOf(c.option)), OverlongBlock);
    } else {
      runStagedPass(f.run, testing::passOf(c.option));
    }

    EXPECT_EQ(testing::readBytes(paths.outputPath), c.expectedOutput);
    EXPECT_EQ(testing::readBytes(paths.inputPath), c.chosen);
    const std::string output = std::filesystem::path(paths.outputPath).filename();
    EXPECT_EQ(testing::listFolder(f.dir.path()),
              std::string(c.file) + " " + output + (c.log ? " " + output + ".log" : ""));
    EXPECT_EQ(c.log ? testing::readBytes(paths.logPath) : "", c.log.value_or(""));
    ASSERT_EQ(f.window.messages.size(), c.message ? 1u : 0u);
    if (c.message) {
      EXPECT_EQ(f.window.messages[0].text, *c.message);
      EXPECT_EQ(f.window.messages[0].icon, MessageIcon::None);
      EXPECT_EQ(f.window.messages[0].title, std::optional<std::string>("Pellumar"));
    }
  }
}

TEST(DeleteBlankSubtitles, MissingOutputFailsLeavingNoLog) {
  testing::RunFixture f("movie.srt");
  testing::writeBytes(f.run.paths.inputPath, kSubRip);
  EXPECT_THROW(runStagedPass(f.run, testing::passOf(Option::DeleteBlankSubtitles)), RunFailure);
  EXPECT_EQ(testing::listFolder(f.dir.path()), "movie.srt");
}

}  // namespace
}  // namespace pellumar
