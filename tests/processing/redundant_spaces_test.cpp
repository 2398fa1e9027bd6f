#include "processing/redundant_spaces.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "tests/support/rule_models.h"
#include "tests/support/run_fixture.h"

namespace pellumar {
namespace {

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

// Literal examples that anchor the models, with the characters the random
// lines below leave out: other marks, tabs, no-break spaces.
class SpacesBeforePunctuationTest : public ::testing::TestWithParam<Case> {};

TEST_P(SpacesBeforePunctuationTest, GivesExpectedLine) {
  EXPECT_EQ(beforePunctuation(GetParam().before), GetParam().after);
  EXPECT_EQ(testing::cutSpacesBeforePunctuationOneAtATime(GetParam().before), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SpacesBeforePunctuationTest,
    ::testing::Values(Case{"word , word .", "word, word."}, Case{"Hey  !", "Hey!"}, Case{" .", "."},
                      Case{"a ;b :c", "a;b:c"}, Case{"a   ?!", "a?!"}, Case{"a\t.", "a\t."},
                      Case{"a\xc2\xa0.", "a\xc2\xa0."},
                      Case{"00:00:01,000 --> 00:00:02,000", "00:00:01,000 --> 00:00:02,000"}));

class SpacesAfterHyphensTest : public ::testing::TestWithParam<Case> {};

TEST_P(SpacesAfterHyphensTest, GivesExpectedLine) {
  EXPECT_EQ(afterHyphens(GetParam().before), GetParam().after);
  EXPECT_EQ(testing::trimAndCutSpacesAfterHyphensOneAtATime(GetParam().before), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(Table, SpacesAfterHyphensTest,
                         ::testing::Values(Case{"a - b", "a -b"}, Case{"-   Hi", "-Hi"},
                                           Case{"  text  ", "text"}, Case{"    ", ""},
                                           Case{"- - a", "--a"}, Case{"a-\tb", "a-\tb"},
                                           Case{"\ta\t", "\ta\t"}, Case{"-\xc2\xa0x", "-\xc2\xa0x"},
                                           Case{"{100}{200}- Hi", "{100}{200}-Hi"}));

TEST(RedundantSpaces, MatchTheModelsOnRandomLines) {
  std::mt19937 random(77);
  const std::string alphabet = "   --.,?a";
  for (int n = 0; n < 20000; ++n) {
    // Up to several of the sixteen-byte blocks the rules scan at once.
    std::string line(random() % 70, ' ');
    for (char& c : line) c = alphabet[random() % alphabet.size()];
    ASSERT_EQ(beforePunctuation(line), testing::cutSpacesBeforePunctuationOneAtATime(line))
        << "line: " << line;
    ASSERT_EQ(afterHyphens(line), testing::trimAndCutSpacesAfterHyphensOneAtATime(line))
        << "line: " << line;
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

TEST(DeleteRedundantSpaces, AppliesBothStepsToEveryLineOfTheOutput) {
  testing::RunFixture f("a.txt");
  testing::writeBytes(f.run.paths.inputPath, "untouched , really\r\n");
  testing::writeBytes(f.run.paths.outputPath, " - Hi , you !  \r\n   \r\n- a - b .\n");

  runStagedPass(f.run, testing::passOf(Option::DeleteRedundantSpaces));

  EXPECT_EQ(testing::readBytes(f.run.paths.outputPath), "-Hi, you!\r\n\r\n-a -b.\r\n");
  EXPECT_EQ(testing::readBytes(f.run.paths.inputPath), "untouched , really\r\n");
  EXPECT_EQ(testing::listFolder(f.dir.path()), "a.txt a_PL.txt");
  EXPECT_TRUE(f.window.messages.empty());
}

}  // namespace
}  // namespace pellumar
