#include "processing/passes/subtitle_kind.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "processing/file_ops.h"
#include "tests/processing/system_faults.h"
#include "tests/support/run_fixture.h"

namespace pellumar {
namespace {

TEST(KindOfLine, CountsBracesAndFindsTheArrow) {
  const struct {
    const char* line;
    bool frame;  // two "{" and two "}", anywhere
    bool arrow;  // holds "-->"
  } cases[] = {{"{100}{200}Hello", true, false},
               {"}}{{", true, false},
               {"{{{}}", true, false},
               {"a{b}c{d}e", true, false},
               {"{1}", false, false},
               {"{{}", false, false},
               {"{}}", false, false},
               {"", false, false},
               {"-->", false, true},
               {"x--->y{1}{2}", true, true},
               {"->", false, false},
               {"- ->", false, false},
               {"-- >", false, false}};
  for (const auto& c : cases) {
    EXPECT_EQ(isFrameLine(c.line), c.frame) << c.line;
    EXPECT_EQ(isArrowLine(c.line), c.arrow) << c.line;
  }
}

using testing::joinLines;

std::string times(int count, const std::string& line, const char* end = "\r\n") {
  return joinLines(std::vector<std::string>(count, line), end);
}

class DetectSubtitleKind : public ::testing::Test, public testing::RunFixture {
 protected:
  DetectSubtitleKind() : RunFixture("movie.srt") {}
  SubtitleKind detect(const std::string& bytes, const TextEncoding& encoding = {}) {
    testing::writeBytes(run.paths.inputPath, bytes);
    return detectSubtitleKind(run.paths.inputPath, encoding);
  }
};

// More than three lines of a kind; every line end counts on its own, and the
// last line needs none. Lines across the reads detection makes count once.
TEST_F(DetectSubtitleKind, NeedsMoreThanThreeLinesOfAKind) {
  const std::string threeFrames = joinLines({"{1}{2}a", "x", "{3}{4}b", "", "{5}{6}"});
  const std::string threeArrows =
      joinLines({"1", "00:00:01,000 --> 00:00:02,000", "a", "", "2",
                 "00:00:03,000 --> 00:00:04,000", "b", "", "3", "00:00:05,000 --> 00:00:06,000"});
  const std::string fourArrows = times(4, "a --> b");
  // Arrow and frame lines across the end of the first piece read, and a line
  // longer than a piece, whose deciding start must survive the buffer growing.
  const std::size_t read = FileReader::kChunkSize;
  std::string acrossReads = joinLines({"a --> b", "{1}{2}"});
  acrossReads += std::string(read - acrossReads.size() - 3, 'x') + "\r\na --> b {3}{4}\r\n";
  acrossReads += "{5}{6} --> " + std::string(3 * read, 'y') + "\r\n";
  std::string utf16 = "\xFF\xFE";
  for (const char c : times(4, "{1}{2}")) utf16 += std::string{c, '\0'};
  const struct {
    std::string bytes;
    SubtitleKind kind;
    TextEncoding encoding = {};
  } cases[] = {{threeFrames, {false, false}},
               {threeFrames + "text {7}{8} at the end", {true, false}},
               {threeArrows, {false, false}},
               {threeArrows + "he said --> go", {false, true}},
               {times(4, "{y:i}a --> b{b}"), {true, true}},
               {times(4, "a --> b", "\n"), {false, true}},
               {times(4, "a --> b", "\r"), {false, true}},
               {fourArrows.substr(0, fourArrows.size() - 2), {false, true}},
               {"", {false, false}},
               {"\r\n\r\n\r\n\r\n\r\n", {false, false}},
               {acrossReads, {false, false}},
               {acrossReads + "c --> d\r\n{7}{8}", {true, true}},
               {utf16, {true, false}, {TextEncoding::Form::Utf16Le, true, {}}}};
  for (const auto& c : cases)
    EXPECT_EQ(detect(c.bytes, c.encoding), c.kind) << c.bytes.substr(0, 80);
}

// Once a file is certain to be of both kinds, the rest is not read.
TEST_F(DetectSubtitleKind, StopsReadingWhenBothKindsAreCertain) {
  const std::string both = times(4, "{1}{2}a\r\n1\r\n00:00:01,000 --> 00:00:02,000");
  SystemFaults calls({});
  EXPECT_EQ(detect(both + std::string(1 << 20, 'x')), (SubtitleKind{true, true}));
  EXPECT_EQ(calls.reads, 1);
}

// The passes' messages about a file of neither kind are checked in
// passes_test.cpp.
TEST_F(DetectSubtitleKind, AKindDetectedBeforeIsReusedWithoutReading) {
  // No chosen file: a read would fail.
  run.kind = SubtitleKind{false, true};
  EXPECT_EQ(detectKindAndReport(run, Option::FixSrtBlankLines), (SubtitleKind{false, true}));
  EXPECT_EQ(run.kind, (SubtitleKind{false, true}));
  EXPECT_TRUE(window.messages.empty());
}

}  // namespace
}  // namespace pellumar
