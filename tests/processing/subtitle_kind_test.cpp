#include "processing/subtitle_kind.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "processing/run_context.h"
#include "processing/run_failure.h"
#include "processing/settings.h"
#include "tests/support/fake_window_system.h"
#include "tests/support/test_files.h"

namespace pellumar {
namespace {

struct LineCase {
  const char* line;
  bool expected;
};

class IsFrameLineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(IsFrameLineTest, CountsBraces) {
  EXPECT_EQ(isFrameLine(GetParam().line), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, IsFrameLineTest,
                         ::testing::Values(LineCase{"{100}{200}Hello", true},
                                           LineCase{"}}{{", true}, LineCase{"{{{}}", true},
                                           LineCase{"{}{}", true}, LineCase{"a{b}c{d}e", true},
                                           LineCase{"{1}", false}, LineCase{"{{}", false},
                                           LineCase{"{}}", false}, LineCase{"", false},
                                           LineCase{"plain text", false}));

class IsArrowLineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(IsArrowLineTest, FindsArrow) {
  EXPECT_EQ(isArrowLine(GetParam().line), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, IsArrowLineTest,
                         ::testing::Values(LineCase{"00:00:01,000 --> 00:00:02,000", true},
                                           LineCase{"-->", true}, LineCase{"he said --> go", true},
                                           LineCase{"x--->y", true}, LineCase{"->", false},
                                           LineCase{"- ->", false}, LineCase{"-- >", false},
                                           LineCase{"", false}));

std::string lines(const std::vector<std::string>& texts, const std::string& end = "\r\n") {
  std::string bytes;
  for (const auto& text : texts) bytes += text + end;
  return bytes;
}

class DetectSubtitleKindTest : public ::testing::Test {
 protected:
  SubtitleKind detect(const std::string& bytes) {
    const std::string path = dir.file("chosen.srt");
    testing::writeBytes(path, bytes);
    return detectSubtitleKind(path, TextEncoding::utf8());
  }

  testing::TempDir dir;
};

TEST_F(DetectSubtitleKindTest, NeedsMoreThanThreeFrameLines) {
  const std::vector<std::string> three = {"{1}{2}a", "x", "{3}{4}b", "", "{5}{6}"};
  EXPECT_EQ(detect(lines(three)), (SubtitleKind{false, false}));
  std::vector<std::string> four = three;
  four.push_back("text {7}{8} at the end");
  EXPECT_EQ(detect(lines(four)), (SubtitleKind{true, false}));
}

TEST_F(DetectSubtitleKindTest, NeedsMoreThanThreeArrowLines) {
  const std::vector<std::string> three = {"1", "00:00:01,000 --> 00:00:02,000", "a", "",
                                          "2", "00:00:03,000 --> 00:00:04,000", "b", "",
                                          "3", "00:00:05,000 --> 00:00:06,000", "c"};
  EXPECT_EQ(detect(lines(three)), (SubtitleKind{false, false}));
  std::vector<std::string> four = three;
  four.push_back("he said --> go");
  EXPECT_EQ(detect(lines(four)), (SubtitleKind{false, true}));
}

TEST_F(DetectSubtitleKindTest, BothKindsAtOnce) {
  std::vector<std::string> texts;
  for (int n = 1; n <= 4; ++n) {
    texts.push_back(std::to_string(n));
    texts.push_back("00:00:01,000 --> 00:00:02,000");
    texts.push_back("{y:i}Hello{b}");
    texts.push_back("");
  }
  EXPECT_EQ(detect(lines(texts)), (SubtitleKind{true, true}));
}

TEST_F(DetectSubtitleKindTest, EveryLineEndCountsOnItsOwn) {
  const std::vector<std::string> arrows(4, "00:00:01,000 --> 00:00:02,000");
  EXPECT_EQ(detect(lines(arrows, "\n")), (SubtitleKind{false, true}));
  EXPECT_EQ(detect(lines(arrows, "\r")), (SubtitleKind{false, true}));
  // The last line needs no terminator.
  const std::string last = lines(arrows);
  EXPECT_EQ(detect(last.substr(0, last.size() - 2)), (SubtitleKind{false, true}));
}

TEST_F(DetectSubtitleKindTest, EmptyFilesAreOfNeitherKind) {
  EXPECT_EQ(detect(""), (SubtitleKind{false, false}));
  EXPECT_EQ(detect("\r\n\r\n\r\n\r\n\r\n"), (SubtitleKind{false, false}));
}

TEST_F(DetectSubtitleKindTest, LongFileDecidedEarly) {
  std::string bytes;
  for (int n = 0; n < 100000; ++n) bytes += "{1}{2}00:00:01,000 --> 00:00:02,000\r\n";
  EXPECT_EQ(detect(bytes), (SubtitleKind{true, true}));
}

TEST_F(DetectSubtitleKindTest, LinesAcrossReadsCountOnce) {
  // Detection reads 256 KiB at a time; put arrow and frame lines across that
  // boundary, and make one line longer than a read.
  const std::size_t read = 1 << 18;
  std::string bytes = lines({"a --> b", "{1}{2}"});
  bytes += std::string(read - bytes.size() - 3, 'x') + "\r\na --> b {3}{4}\r\n";
  bytes += std::string(3 * read, 'y') + " --> {5}{6} -->\r\n";
  EXPECT_EQ(detect(bytes), (SubtitleKind{false, false}));
  EXPECT_EQ(detect(bytes + "c --> d\r\n{7}{8}"), (SubtitleKind{true, true}));
}

TEST_F(DetectSubtitleKindTest, ReadsOtherEncodingsAsText) {
  const std::string path = dir.file("chosen.srt");
  std::string utf16 = "\xFF\xFE";
  for (const char c : lines(std::vector<std::string>(4, "{1}{2}"))) {
    utf16 += c;
    utf16 += '\0';
  }
  testing::writeBytes(path, utf16);
  EXPECT_EQ(detectSubtitleKind(path, {TextEncoding::Form::Utf16Le, true, {}}),
            (SubtitleKind{true, false}));
}

TEST_F(DetectSubtitleKindTest, MissingFileIsARunFailure) {
  EXPECT_THROW(detectSubtitleKind(dir.file("gone.srt"), TextEncoding::utf8()), RunFailure);
}

TEST(UnknownKindMessage, NamesTheOption) {
  EXPECT_EQ(unknownKindMessage("\"Delete blank lines\""),
            "Unknown subtitle type.\r\nCannot process for \"Delete blank lines\" option.");
}

class AskSubtitleKindTest : public ::testing::Test {
 protected:
  testing::TempDir dir;
  Settings settings;
  testing::FakeWindowSystem window;
  RunContext run{settings,
                 window,
                 {dir.file("movie.srt"), "srt", dir.file("movie_PL.srt"),
                  dir.file("movie_PL_22.srt"), dir.file("movie_PL.srt.log")},
                 TextEncoding::utf8(),
                 {true, true},
                 {}};
};

TEST_F(AskSubtitleKindTest, JudgesTheChosenFileNotTheOutput) {
  testing::writeBytes(run.paths.inputPath, lines(std::vector<std::string>(4, "a --> b")));
  testing::writeBytes(run.paths.outputPath, lines(std::vector<std::string>(4, "{1}{2}")));

  EXPECT_EQ(askSubtitleKind(run, Option::FixSrtBlankLines), (SubtitleKind{false, true}));
  EXPECT_EQ(run.kind, (SubtitleKind{false, true}));
  EXPECT_EQ(run.currentOptionLabel, "");
  EXPECT_TRUE(window.messages.empty());
}

TEST_F(AskSubtitleKindTest, TellsTheUserOnceAboutAFileOfNeitherKind) {
  testing::writeBytes(run.paths.inputPath, "just text\r\n");

  EXPECT_EQ(askSubtitleKind(run, Option::DeleteBlankSubtitles), (SubtitleKind{false, false}));
  EXPECT_EQ(run.kind, (SubtitleKind{false, false}));
  EXPECT_EQ(run.currentOptionLabel, "");
  ASSERT_EQ(window.messages.size(), 1u);
  EXPECT_EQ(window.messages[0].text,
            "Unknown subtitle type.\r\nCannot process for \"Delete blank lines\" option.");
  EXPECT_EQ(window.messages[0].icon, MessageIcon::None);
  EXPECT_EQ(window.messages[0].title, std::optional<std::string>("Pellumar"));

  askSubtitleKind(run, Option::FixSrtBlankLines);
  ASSERT_EQ(window.messages.size(), 2u);
  EXPECT_EQ(window.messages[1].text,
            "Unknown subtitle type.\r\nCannot process for \"Fix SRT blank lines\" option.");
  EXPECT_EQ(testing::listFolder(dir.path()), "movie.srt");
}

TEST_F(AskSubtitleKindTest, AKindDetectedBeforeIsToldAgainWithoutReading) {
  EXPECT_EQ(askSubtitleKind(run, Option::FixSrtBlankLines, SubtitleKind{false, true}),
            (SubtitleKind{false, true}));
  EXPECT_EQ(run.kind, (SubtitleKind{false, true}));
  EXPECT_TRUE(window.messages.empty());

  EXPECT_EQ(askSubtitleKind(run, Option::FixSrtBlankLines, SubtitleKind{}), SubtitleKind{});
  ASSERT_EQ(window.messages.size(), 1u);
  EXPECT_EQ(window.messages[0].text,
            "Unknown subtitle type.\r\nCannot process for \"Fix SRT blank lines\" option.");
}

TEST_F(AskSubtitleKindTest, EmptiesTheLabelWhenTheFileIsGone) {
  EXPECT_THROW(askSubtitleKind(run, Option::DeleteBlankSubtitles), RunFailure);
  EXPECT_EQ(run.currentOptionLabel, "");
  EXPECT_EQ(run.kind, (SubtitleKind{false, false}));
  EXPECT_TRUE(window.messages.empty());
}

}  // namespace
}  // namespace pellumar
