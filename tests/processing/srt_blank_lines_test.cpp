#include "processing/srt_blank_lines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/rule_models.h"
#include "tests/support/run_fixture.h"
#include "tests/support/stage_runner.h"

namespace pellumar {
namespace {

using testing::Lines;

struct StageCase {
  const char* name;
  Lines before;
  Lines after;
};

class SrtBlankLineStageTest : public ::testing::TestWithParam<StageCase> {};

TEST_P(SrtBlankLineStageTest, KeepsFirstEmptyLineOfEveryRun) {
  SrtBlankLineStage stage;
  EXPECT_EQ(testing::runLines(stage, GetParam().before), GetParam().after);
  EXPECT_EQ(testing::collapseEmptyRuns(GetParam().before), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SrtBlankLineStageTest,
    ::testing::Values(StageCase{"Empty", {}, {}},
                      StageCase{"ThreeBetweenSubtitles", {"a", "", "", "", "b"}, {"a", "", "b"}},
                      StageCase{"AtTheStart", {"", "", "1"}, {"", "1"}},
                      StageCase{"AtTheEnd", {"1", "", "", ""}, {"1", ""}},
                      StageCase{
                          "SpacesAreNotEmpty", {"", " ", "", "  ", ""}, {"", " ", "", "  ", ""}},
                      StageCase{"NumbersStay", {"1", "1", "", "", "2"}, {"1", "1", "", "2"}}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

std::string crlf(const Lines& lines) {
  std::string bytes;
  for (const auto& line : lines) bytes += line + "\r\n";
  return bytes;
}

Lines subtitles(const char* text) {
  Lines lines;
  for (int n = 1; n <= 4; ++n) lines.insert(lines.end(), {std::to_string(n), text, "x", ""});
  return lines;
}

// The chosen file's kind decides, never the output's.
struct KindCase {
  const char* name;
  std::string chosen;
  bool collapses;
  bool tellsTheUser;
};

class CollapseSrtBlankLinesTest : public ::testing::TestWithParam<KindCase> {};

TEST_P(CollapseSrtBlankLinesTest, CollapsesTheOutputOfASubRipFileOnly) {
  const KindCase& c = GetParam();
  testing::RunFixture f("movie.txt");
  testing::writeBytes(f.run.paths.inputPath, c.chosen);
  const std::string output = "\r\n\r\n1\r\nx\r\n\r\n\r\n\r\n2\nx\n\n\n";
  testing::writeBytes(f.run.paths.outputPath, output);

  runStagedPass(f.run, testing::passOf(Option::FixSrtBlankLines));

  EXPECT_EQ(testing::readBytes(f.run.paths.outputPath),
            c.collapses ? crlf({"", "1", "x", "", "2", "x", ""}) : output);
  EXPECT_EQ(testing::readBytes(f.run.paths.inputPath), c.chosen);
  EXPECT_EQ(testing::listFolder(f.dir.path()), "movie.txt movie_PL.txt");
  if (!c.tellsTheUser) {
    EXPECT_TRUE(f.window.messages.empty());
    return;
  }
  ASSERT_EQ(f.window.messages.size(), 1u);
  EXPECT_EQ(f.window.messages[0].text,
            "Unknown subtitle type.\r\nCannot process for \"Fix SRT blank lines\" option.");
  EXPECT_EQ(f.window.messages[0].icon, MessageIcon::None);
  EXPECT_EQ(f.window.messages[0].title, std::optional<std::string>("Pellumar"));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, CollapseSrtBlankLinesTest,
    ::testing::Values(KindCase{"SubRip", crlf(subtitles("00:00:01,000 --> 00:00:02,000")), true,
                               false},
                      KindCase{"BothKinds", crlf(subtitles("{1}{2} --> {3}{4}")), true, false},
                      KindCase{"FrameBasedSilently", crlf(subtitles("{1}{2}")), false, false},
                      KindCase{"NeitherKind", "text\r\n\r\n\r\n", false, true}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

}  // namespace
}  // namespace pellumar
