#include "processing/subtitle_kind.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "processing/file_ops.h"
#include "processing/run_failure.h"
#include "tests/support/run_fixture.h"

namespace pellumar {
namespace {

struct LineCase {
  const char* line;
  bool frame;  // two "{" and two "}", anywhere
  bool arrow;  // holds "-->"
};

class KindOfLineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(KindOfLineTest, CountsBracesAndFindsTheArrow) {
  EXPECT_EQ(isFrameLine(GetParam().line), GetParam().frame) << GetParam().line;
  EXPECT_EQ(isArrowLine(GetParam().line), GetParam().arrow) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(
    Table, KindOfLineTest,
    ::testing::Values(LineCase{"{100}{200}Hello", true, false}, LineCase{"}}{{", true, false},
                      LineCase{"{{{}}", true, false}, LineCase{"a{b}c{d}e", true, false},
                      LineCase{"{1}", false, false}, LineCase{"{{}", false, false},
                      LineCase{"{}}", false, false}, LineCase{"", false, false},
                      LineCase{"00:00:01,000 --> 00:00:02,000", false, true},
                      LineCase{"-->", false, true}, LineCase{"x--->y{1}{2}", true, true},
                      LineCase{"->", false, false}, LineCase{"- ->", false, false},
                      LineCase{"-- >", false, false}));

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

const std::vector<std::string> kThreeFrameLines = {"{1}{2}a", "x", "{3}{4}b", "", "{5}{6}"};
const std::vector<std::string> kThreeArrowLines = {"1", "00:00:01,000 --> 00:00:02,000", "a", "",
                                                   "2", "00:00:03,000 --> 00:00:04,000", "b", "",
                                                   "3", "00:00:05,000 --> 00:00:06,000"};
const std::string kFourArrowLines = lines(std::vector<std::string>(4, "a --> b"));

struct KindCase {
  const char* name;
  std::string bytes;
  SubtitleKind kind;
};

class DetectKindTableTest : public DetectSubtitleKindTest,
                            public ::testing::WithParamInterface<KindCase> {};

TEST_P(DetectKindTableTest, NeedsMoreThanThreeLinesOfAKind) {
  EXPECT_EQ(detect(GetParam().bytes), GetParam().kind);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DetectKindTableTest,
    ::testing::Values(
        KindCase{"ThreeFrameLines", lines(kThreeFrameLines), {false, false}},
        KindCase{
            "FourFrameLines", lines(kThreeFrameLines) + "text {7}{8} at the end", {true, false}},
        KindCase{"ThreeArrowLines", lines(kThreeArrowLines), {false, false}},
        KindCase{"FourArrowLines", lines(kThreeArrowLines) + "he said --> go", {false, true}},
        KindCase{"BothKinds", lines(std::vector<std::string>(4, "{y:i}a --> b{b}")), {true, true}},
        // Every line end counts on its own; the last line needs none.
        KindCase{"LineFeeds", lines(std::vector<std::string>(4, "a --> b"), "\n"), {false, true}},
        KindCase{
            "CarriageReturns", lines(std::vector<std::string>(4, "a --> b"), "\r"), {false, true}},
        KindCase{
            "NoLastLineEnd", kFourArrowLines.substr(0, kFourArrowLines.size() - 2), {false, true}},
        KindCase{"Empty", "", {false, false}},
        KindCase{"OnlyLineEnds", "\r\n\r\n\r\n\r\n\r\n", {false, false}}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST_F(DetectSubtitleKindTest, LinesAcrossReadsCountOnce) {
  // Put arrow and frame lines across the end of the first piece detection
  // reads, and make one line longer than a piece.
  const std::size_t read = FileReader::kChunkSize;
  std::string bytes = lines({"a --> b", "{1}{2}"});
  bytes += std::string(read - bytes.size() - 3, 'x') + "\r\na --> b {3}{4}\r\n";
  // What decides stands at the start, which must survive the buffer growing.
  bytes += "{5}{6} --> " + std::string(3 * read, 'y') + "\r\n";
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

class DetectKindAndReportTest : public ::testing::Test, public testing::RunFixture {
 protected:
  DetectKindAndReportTest() : RunFixture("movie.srt") {}
};

TEST_F(DetectKindAndReportTest, JudgesTheChosenFileNotTheOutput) {
  testing::writeBytes(run.paths.inputPath, lines(std::vector<std::string>(4, "a --> b")));
  testing::writeBytes(run.paths.outputPath, lines(std::vector<std::string>(4, "{1}{2}")));

  EXPECT_EQ(detectKindAndReport(run, Option::FixSrtBlankLines), (SubtitleKind{false, true}));
  EXPECT_EQ(run.kind, (SubtitleKind{false, true}));
  EXPECT_TRUE(window.messages.empty());
}

TEST_F(DetectKindAndReportTest, TellsEachAskingOptionAboutAFileOfNeitherKind) {
  testing::writeBytes(run.paths.inputPath, "just text\r\n");

  EXPECT_EQ(detectKindAndReport(run, Option::DeleteBlankSubtitles), (SubtitleKind{false, false}));
  ASSERT_EQ(window.messages.size(), 1u);
  EXPECT_EQ(window.messages[0].text,
            "Unknown subtitle type.\r\nCannot process for \"Delete blank lines\" option.");
  EXPECT_EQ(window.messages[0].icon, MessageIcon::None);
  EXPECT_EQ(window.messages[0].title, std::optional<std::string>("Pellumar"));

  detectKindAndReport(run, Option::FixSrtBlankLines);
  ASSERT_EQ(window.messages.size(), 2u);
  EXPECT_EQ(window.messages[1].text,
            "Unknown subtitle type.\r\nCannot process for \"Fix SRT blank lines\" option.");
  EXPECT_EQ(testing::listFolder(dir.path()), "movie.srt");
}

TEST_F(DetectKindAndReportTest, AKindDetectedBeforeIsReusedWithoutReading) {
  // No chosen file: a read would fail.
  run.kind = SubtitleKind{false, true};
  EXPECT_EQ(detectKindAndReport(run, Option::FixSrtBlankLines), (SubtitleKind{false, true}));
  EXPECT_TRUE(window.messages.empty());
}

}  // namespace
}  // namespace pellumar
