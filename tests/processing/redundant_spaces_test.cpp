#include "processing/redundant_spaces.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "processing/run_context.h"
#include "processing/settings.h"
#include "tests/support/fake_window_system.h"
#include "tests/support/test_files.h"

namespace pellumar {
namespace {

bool isPunctuation(char c) { return std::string_view(",.;:!?").find(c) != std::string_view::npos; }

// Both steps as literally described: cut one space, then scan again from the
// first character.
std::string beforePunctuationByRescanning(std::string line) {
  for (std::size_t p = 0; p < line.size();) {
    if (p >= 1 && isPunctuation(line[p]) && line[p - 1] == ' ') {
      line.erase(p - 1, 1);
      p = 0;
    } else {
      ++p;
    }
  }
  return line;
}

std::string afterHyphensByRescanning(std::string line) {
  while (!line.empty() && line.front() == ' ') line.erase(0, 1);
  while (!line.empty() && line.back() == ' ') line.pop_back();
  for (std::size_t p = 0; p < line.size();) {
    if (line[p] == '-' && p + 1 < line.size() && line[p + 1] == ' ') {
      line.erase(p + 1, 1);
      p = 0;
    } else {
      ++p;
    }
  }
  return line;
}

std::string beforePunctuation(std::string line) {
  removeSpacesBeforePunctuation(line);
  return line;
}

std::string afterHyphens(std::string line) {
  trimAndRemoveSpacesAfterHyphens(line);
  return line;
}

struct Case {
  const char* before;
  const char* after;
};

class SpacesBeforePunctuationTest : public ::testing::TestWithParam<Case> {};

TEST_P(SpacesBeforePunctuationTest, GivesExpectedLine) {
  EXPECT_EQ(beforePunctuation(GetParam().before), GetParam().after);
  EXPECT_EQ(beforePunctuationByRescanning(GetParam().before), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SpacesBeforePunctuationTest,
    ::testing::Values(Case{"word , word .", "word, word."}, Case{"Hey  !", "Hey!"}, Case{" .", "."},
                      Case{"?why", "?why"}, Case{"a, b", "a, b"}, Case{"a ,", "a,"},
                      Case{"a ;b :c", "a;b:c"}, Case{"a   ?!", "a?!"}, Case{"a . . .", "a..."},
                      Case{"   ", "   "}, Case{"", ""}, Case{" a ", " a "}, Case{"a\t.", "a\t."},
                      Case{"a\xc2\xa0.", "a\xc2\xa0."}, Case{"a -", "a -"},
                      Case{"00:00:01,000 --> 00:00:02,000", "00:00:01,000 --> 00:00:02,000"},
                      Case{"{100}{200}Hi , there", "{100}{200}Hi, there"}));

class SpacesAfterHyphensTest : public ::testing::TestWithParam<Case> {};

TEST_P(SpacesAfterHyphensTest, GivesExpectedLine) {
  EXPECT_EQ(afterHyphens(GetParam().before), GetParam().after);
  EXPECT_EQ(afterHyphensByRescanning(GetParam().before), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SpacesAfterHyphensTest,
    ::testing::Values(Case{"a - b", "a -b"}, Case{"- Hello", "-Hello"}, Case{"-   Hi", "-Hi"},
                      Case{"  text  ", "text"}, Case{"    ", ""}, Case{"", ""}, Case{"-", "-"},
                      Case{"a -", "a -"}, Case{"a -  ", "a -"}, Case{"- - a", "--a"},
                      Case{"a-\tb", "a-\tb"}, Case{"\ta\t", "\ta\t"},
                      Case{"-\xc2\xa0x", "-\xc2\xa0x"},
                      Case{"  00:00:01,000 --> 00:00:02,000 ", "00:00:01,000 --> 00:00:02,000"},
                      Case{"{100}{200}- Hi", "{100}{200}-Hi"}));

TEST(RedundantSpaces, MatchRescanningOnRandomLines) {
  std::mt19937 random(77);
  const std::string alphabet = "   --.,?a";
  for (int n = 0; n < 20000; ++n) {
    // Up to several of the sixteen-byte blocks the rules scan at once.
    std::string line(random() % 70, ' ');
    for (char& c : line) c = alphabet[random() % alphabet.size()];
    ASSERT_EQ(beforePunctuation(line), beforePunctuationByRescanning(line)) << "line: " << line;
    ASSERT_EQ(afterHyphens(line), afterHyphensByRescanning(line)) << "line: " << line;
  }
}

TEST(RedundantSpaces, LongLinesTakeLinearTime) {
  std::string spaces = std::string(500000, ' ') + "." + std::string(500000, ' ') + "!";
  EXPECT_EQ(beforePunctuation(spaces), ".!");

  std::string pairs;
  for (int n = 0; n < 300000; ++n) pairs += " ,";
  EXPECT_EQ(beforePunctuation(pairs), std::string(300000, ','));

  std::string hyphens;
  for (int n = 0; n < 300000; ++n) hyphens += "-  ";
  EXPECT_EQ(afterHyphens(hyphens), std::string(300000, '-'));
}

class DeleteRedundantSpacesTest : public ::testing::Test {
 protected:
  testing::TempDir dir;
  Settings settings;
  testing::FakeWindowSystem window;
  RunContext run{settings,
                 window,
                 {dir.file("a.txt"), "txt", dir.file("a_PL.txt"), dir.file("a_PL_22.txt"),
                  dir.file("a_PL.txt.log")},
                 TextEncoding::utf8(),
                 {},
                 {}};
};

TEST_F(DeleteRedundantSpacesTest, AppliesBothStepsToEveryLine) {
  testing::writeBytes(run.paths.inputPath, "untouched , really\r\n");
  testing::writeBytes(run.paths.outputPath, " - Hi , you !  \r\n   \r\n- a - b .\n");

  deleteRedundantSpaces(run);

  EXPECT_EQ(testing::readBytes(run.paths.outputPath), "-Hi, you!\r\n\r\n-a -b.\r\n");
  EXPECT_EQ(testing::readBytes(run.paths.inputPath), "untouched , really\r\n");
  EXPECT_EQ(testing::listFolder(dir.path()), "a.txt a_PL.txt");
  EXPECT_TRUE(window.messages.empty());
}

TEST_F(DeleteRedundantSpacesTest, EmptyOutputStaysEmpty) {
  testing::writeBytes(run.paths.outputPath, "");
  deleteRedundantSpaces(run);
  EXPECT_EQ(testing::readBytes(run.paths.outputPath), "");
  EXPECT_EQ(testing::listFolder(dir.path()), "a_PL.txt");
}

}  // namespace
}  // namespace pellumar
