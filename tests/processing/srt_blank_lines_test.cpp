#include "processing/srt_blank_lines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "processing/run_context.h"
#include "processing/settings.h"
#include "tests/support/fake_window_system.h"
#include "tests/support/stage_runner.h"
#include "tests/support/test_files.h"

namespace pellumar {
namespace {

using Lines = std::vector<std::string>;

Lines collapsed(const Lines& input) {
  SrtBlankLineStage stage;
  return testing::runLines(stage, input);
}

struct Case {
  const char* name;
  Lines before;
  Lines after;
};

std::ostream& operator<<(std::ostream& out, const Case& c) { return out << c.name; }

class SrtBlankLineStageTest : public ::testing::TestWithParam<Case> {};

TEST_P(SrtBlankLineStageTest, KeepsFirstEmptyLineOfEveryRun) {
  EXPECT_EQ(collapsed(GetParam().before), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SrtBlankLineStageTest,
    ::testing::Values(Case{"Empty", {}, {}},
                      Case{"ThreeBetweenSubtitles", {"a", "", "", "", "b"}, {"a", "", "b"}},
                      Case{"SingleStaysSingle", {"a", "", "b"}, {"a", "", "b"}},
                      Case{"AtTheStart", {"", "", "1"}, {"", "1"}},
                      Case{"AtTheEnd", {"1", "", "", ""}, {"1", ""}},
                      Case{"OnlyEmptyLines", {"", "", "", ""}, {""}},
                      Case{"SpacesAreNotEmpty", {"", " ", "", "  ", ""}, {"", " ", "", "  ", ""}},
                      Case{"NumbersStay", {"1", "1", "", "", "2"}, {"1", "1", "", "2"}}),
    [](const ::testing::TestParamInfo<Case>& testInfo) {
      return std::string(testInfo.param.name);
    });

std::string crlf(const Lines& lines) {
  std::string bytes;
  for (const auto& line : lines) bytes += line + "\r\n";
  return bytes;
}

const char* const kTime = "00:00:01,000 --> 00:00:02,000";
const Lines kSubRipFile{"1", kTime, "a", "", "2", kTime, "b", "",
                        "3", kTime, "c", "", "4", kTime, "d"};

class CollapseSrtBlankLinesTest : public ::testing::Test {
 protected:
  testing::TempDir dir;
  Settings settings;
  testing::FakeWindowSystem window;
  RunContext run{settings,
                 window,
                 {dir.file("movie.txt"), "txt", dir.file("movie_PL.txt"),
                  dir.file("movie_PL_22.txt"), dir.file("movie_PL.txt.log")},
                 TextEncoding::utf8(),
                 {},
                 {}};
};

TEST_F(CollapseSrtBlankLinesTest, CollapsesTheOutputOfASubRipFile) {
  testing::writeBytes(run.paths.inputPath, crlf(kSubRipFile));
  testing::writeBytes(run.paths.outputPath, "\r\n\r\n1\r\nx\r\n\r\n\r\n\r\n2\nx\n\n\n");

  collapseSrtBlankLines(run);

  EXPECT_EQ(testing::readBytes(run.paths.outputPath), crlf({"", "1", "x", "", "2", "x", ""}));
  EXPECT_EQ(testing::readBytes(run.paths.inputPath), crlf(kSubRipFile));
  EXPECT_EQ(testing::listFolder(dir.path()), "movie.txt movie_PL.txt");
  EXPECT_TRUE(window.messages.empty());
  EXPECT_EQ(run.currentOptionLabel, "");
}

TEST_F(CollapseSrtBlankLinesTest, EmptyOutputStaysEmpty) {
  testing::writeBytes(run.paths.inputPath, crlf(kSubRipFile));
  testing::writeBytes(run.paths.outputPath, "");
  collapseSrtBlankLines(run);
  EXPECT_EQ(testing::readBytes(run.paths.outputPath), "");
}

TEST_F(CollapseSrtBlankLinesTest, FileOfBothKindsIsCollapsed) {
  Lines both;
  for (int n = 1; n <= 4; ++n) both.insert(both.end(), {std::to_string(n), kTime, "{a}x{b}", ""});
  testing::writeBytes(run.paths.inputPath, crlf(both));
  testing::writeBytes(run.paths.outputPath, crlf({"a", "", "", "b"}));
  collapseSrtBlankLines(run);
  EXPECT_EQ(testing::readBytes(run.paths.outputPath), crlf({"a", "", "b"}));
}

TEST_F(CollapseSrtBlankLinesTest, FrameBasedFileIsLeftAloneSilently) {
  testing::writeBytes(run.paths.inputPath, crlf({"{1}{2}a", "{3}{4}b", "{5}{6}c", "{7}{8}d"}));
  testing::writeBytes(run.paths.outputPath, "a\n\n\nb");
  collapseSrtBlankLines(run);
  EXPECT_EQ(testing::readBytes(run.paths.outputPath), "a\n\n\nb");
  EXPECT_TRUE(window.messages.empty());
  EXPECT_EQ(testing::listFolder(dir.path()), "movie.txt movie_PL.txt");
}

TEST_F(CollapseSrtBlankLinesTest, FileOfNeitherKindShowsTheMessage) {
  testing::writeBytes(run.paths.inputPath, "text\r\n\r\n\r\n");
  // An output that looks like SubRip does not count: the chosen file decides.
  testing::writeBytes(run.paths.outputPath, crlf(kSubRipFile) + "\r\n\r\n");
  collapseSrtBlankLines(run);
  ASSERT_EQ(window.messages.size(), 1u);
  EXPECT_EQ(window.messages[0].text,
            "Unknown subtitle type.\r\nCannot process for \"Fix SRT blank lines\" option.");
  EXPECT_EQ(window.messages[0].icon, MessageIcon::None);
  EXPECT_EQ(window.messages[0].title, std::optional<std::string>("Pellumar"));
  EXPECT_EQ(testing::readBytes(run.paths.outputPath), crlf(kSubRipFile) + "\r\n\r\n");
  EXPECT_EQ(testing::listFolder(dir.path()), "movie.txt movie_PL.txt");
  EXPECT_EQ(run.currentOptionLabel, "");
}

}  // namespace
}  // namespace pellumar
