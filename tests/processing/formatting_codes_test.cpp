#include "processing/formatting_codes.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tests/support/rule_models.h"
#include "tests/support/run_fixture.h"

namespace pellumar {
namespace {

std::string stripped(std::string line) {
  stripFormattingCodes(line);
  return line;
}

struct Case {
  const char* before;
  const char* after;
};

class StripFormattingCodesTest : public ::testing::TestWithParam<Case> {};

TEST_P(StripFormattingCodesTest, GivesExpectedLine) {
  EXPECT_EQ(stripped(GetParam().before), GetParam().after);
  EXPECT_EQ(testing::stripCodesOneAtATime(GetParam().before), GetParam().after);
}

// Literal examples that anchor the model; every short line over "{}a1" is
// compared with it below.
INSTANTIATE_TEST_SUITE_P(
    Table, StripFormattingCodesTest,
    ::testing::Values(Case{"{C:$FF0000}{Y:i,u}Text", "Text"},
                      Case{"{100}{200}{y:i}Hello {b}world{/b}", "{100}{200}Hello world"},
                      Case{"{ }", ""}, Case{"{-1}", ""}, Case{"{1a}", "{1a}"},
                      Case{"{a{b}c}", "c}"}, Case{"{{a}}", "}"}, Case{"x{1}{a}", "x{1}"},
                      Case{"{a x}{b", "{b"},
                      Case{"00:00:01,000 --> 00:00:02,000", "00:00:01,000 --> 00:00:02,000"},
                      Case{"{\xc3\xa9}\xc3\xa9t\xc3\xa9", "\xc3\xa9t\xc3\xa9"}));

// Every line of up to 8 characters over the characters that matter, then
// longer random lines.
TEST(StripFormattingCodes, MatchesTheModel) {
  const std::string alphabet = "{}a1";
  for (std::size_t length = 0; length <= 8; ++length) {
    std::vector<std::size_t> digits(length, 0);
    for (;;) {
      std::string line;
      for (const std::size_t d : digits) line += alphabet[d];
      ASSERT_EQ(stripped(line), testing::stripCodesOneAtATime(line)) << "line: " << line;
      std::size_t k = 0;
      while (k < length && ++digits[k] == alphabet.size()) digits[k++] = 0;
      if (k == length) break;
    }
  }
  std::mt19937 random(20240611);
  const std::string wider = "{{}}ab1 :";
  for (int n = 0; n < 20000; ++n) {
    std::string line(random() % 40, ' ');
    for (char& c : line) c = wider[random() % wider.size()];
    ASSERT_EQ(stripped(line), testing::stripCodesOneAtATime(line)) << "line: " << line;
  }
}

TEST(StripFormattingCodes, LongLinesTakeLinearTime) {
  std::string codes;
  for (int n = 0; n < 300000; ++n) codes += "{a}";
  EXPECT_EQ(stripped(codes), "");

  std::string mixed;
  for (int n = 0; n < 200000; ++n) mixed += "x{a}";
  EXPECT_EQ(stripped(mixed), std::string(200000, 'x'));

  // Many qualifying braces and no closing brace at all.
  std::string open;
  for (int n = 0; n < 300000; ++n) open += "{a";
  EXPECT_EQ(stripped(open), open);

  // Many frame numbers, then a code at the very end.
  std::string frames;
  for (int n = 0; n < 200000; ++n) frames += "{1}";
  EXPECT_EQ(stripped(frames + "{a}"), frames);
}

TEST(RemoveFormattingCodes, RewritesTheOutputLineByLine) {
  testing::RunFixture f("movie.sub");
  testing::writeBytes(f.run.paths.inputPath, "{1}{2}{y:i}chosen\r\n");
  testing::writeBytes(f.run.paths.outputPath, "{1}{2}{y:i}Hi\r\n{ }\r\n{y:\ni}\r\n{a x}{b");

  runStagedPass(f.run, testing::passOf(Option::RemoveFormattingCodes));

  EXPECT_EQ(testing::readBytes(f.run.paths.outputPath), "{1}{2}Hi\r\n\r\n{y:\r\ni}\r\n{b\r\n");
  EXPECT_EQ(testing::readBytes(f.run.paths.inputPath), "{1}{2}{y:i}chosen\r\n");
  EXPECT_EQ(testing::listFolder(f.dir.path()), "movie.sub movie_PL.sub");
  EXPECT_TRUE(f.window.messages.empty());
}

}  // namespace
}  // namespace pellumar
