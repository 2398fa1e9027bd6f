// The rules on one line against their one-change-at-a-time models: literal
// examples that anchor each model (with characters the random lines leave
// out), then random lines, then lines long enough to show quadratic work.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "processing/passes/formatting_codes.h"
#include "processing/passes/redundant_spaces.h"
#include "tests/support/random.h"
#include "tests/support/rule_models.h"

namespace pellumar {
namespace {

using Rule = void (*)(std::string&);
using Model = std::string (*)(std::string);

std::string applied(Rule rule, std::string line) {
  rule(line);
  return line;
}

struct Example {
  const char *before, *after;
};

void expectExamples(Rule rule, Model model, std::initializer_list<Example> examples) {
  for (const Example& e : examples) {
    EXPECT_EQ(applied(rule, e.before), e.after) << e.before;
    EXPECT_EQ(model(e.before), e.after) << e.before;
  }
}

void expectModelOnRandomLines(Rule rule, Model model, const std::string& alphabet,
                              std::size_t longest, unsigned seed) {
  testing::Random random(seed);
  for (int n = 0; n < 20000; ++n) {
    const std::string line = random.text(longest, alphabet);
    ASSERT_EQ(applied(rule, line), model(line)) << "line: " << line;
  }
}

std::string repeated(const std::string& piece, int times) {
  std::string text;
  for (int n = 0; n < times; ++n) text += piece;
  return text;
}

// A few examples anchor each model; the random lines hold UTF-8, tabs and
// no-break spaces besides the characters that matter.
TEST(StripFormattingCodes, MatchesTheModel) {
  expectExamples(stripFormattingCodes, testing::stripCodesOneAtATime,
                 {{"{C:$FF0000}{Y:i,u}Text", "Text"},
                  {"{100}{200}{y:i}Hello {b}world{/b}", "{100}{200}Hello world"},
                  {"{a{b}c}", "c}"},
                  {"x{1}{a}", "x{1}"},
                  {"{0}{9}{:}{/}", "{0}{9}"}});
  expectModelOnRandomLines(stripFormattingCodes, testing::stripCodesOneAtATime,
                           "{{}}ab019 :-\xc3\xa9", 39, 20240611);
}

TEST(RedundantSpaces, MatchTheModels) {
  expectExamples(removeSpacesBeforePunctuation, testing::cutSpacesBeforePunctuationOneAtATime,
                 {{"word , word .", "word, word."}, {"a ;b :c", "a;b:c"}, {"a   ?!", "a?!"}});
  expectExamples(trimAndRemoveSpacesAfterHyphens, testing::trimAndCutSpacesAfterHyphensOneAtATime,
                 {{"  a - b  ", "a -b"}, {"- - a", "--a"}, {"{100}{200}- Hi", "{100}{200}-Hi"}});
  // Up to several of the sixteen-byte blocks the rules scan at once.
  const std::string alphabet = "     --.,?a!;:\t\xc2\xa0";
  expectModelOnRandomLines(removeSpacesBeforePunctuation,
                           testing::cutSpacesBeforePunctuationOneAtATime, alphabet, 69, 77);
  expectModelOnRandomLines(trimAndRemoveSpacesAfterHyphens,
                           testing::trimAndCutSpacesAfterHyphensOneAtATime, alphabet, 69, 78);
}

TEST(LineRules, LongLinesTakeLinearTime) {
  const struct {
    Rule rule;
    std::string before, after;
  } cases[] = {
      {stripFormattingCodes, repeated("{a}", 300000), ""},
      {stripFormattingCodes, repeated("x{a}", 200000), std::string(200000, 'x')},
      // Many qualifying braces and no closing brace at all.
      {stripFormattingCodes, repeated("{a", 300000), repeated("{a", 300000)},
      // Many frame numbers, then a code at the very end.
      {stripFormattingCodes, repeated("{1}", 200000) + "{a}", repeated("{1}", 200000)},
      {removeSpacesBeforePunctuation,
       std::string(500000, ' ') + "." + std::string(500000, ' ') + "!", ".!"},
      {removeSpacesBeforePunctuation, repeated(" ,", 300000), std::string(300000, ',')},
      {trimAndRemoveSpacesAfterHyphens, repeated("-  ", 300000), std::string(300000, '-')}};
  for (const auto& c : cases) EXPECT_TRUE(applied(c.rule, c.before) == c.after);
}

}  // namespace
}  // namespace pellumar
