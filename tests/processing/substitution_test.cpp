#include <gtest/gtest.h>

#include "processing/local_chars.h"
#include "processing/replace_strings.h"

namespace pellumar {
namespace {

struct RuleCase {
  std::vector<TextPair> table;
  std::string before, after;
};

class LocalCharRule : public ::testing::TestWithParam<RuleCase> {};

TEST_P(LocalCharRule, SubstitutesInPlace) {
  std::string line = GetParam().before;
  LocalCharTable(GetParam().table).apply(line);
  EXPECT_EQ(line, GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Table, LocalCharRule,
    ::testing::Values(
        RuleCase{{{"a", "b"}, {"b", "c"}}, "ab", "bc"},
        RuleCase{{{"a", "xy"}}, "ab", "xy"},
        RuleCase{{{"a", "xy"}}, "a", "x"},
        RuleCase{{{"a", "xy"}, {"y", "z"}}, "ab", "xz"},
        RuleCase{{{"a", "xyz"}, {"a", "q"}}, "abcd", "qyzd"},
        RuleCase{{{"a", ""}}, "banana", "banana"},
        RuleCase{{{"a", "b"}}, "A", "A"},
        RuleCase{{{"a", "b"}}, "", ""},
        RuleCase{{{"ab", "x"}, {"", "y"}}, "ab", "ab"},
        // Characters, not bytes: the line keeps its length in characters.
        RuleCase{{{"ą", "a"}, {"ę", "e"}, {"ł", "l"}}, "Zażółć gęślą", "Zażólć geśla"},
        RuleCase{{{"ż", "z"}, {"ó", "o"}, {"ł", "l"}, {"ć", "c"}}, "Zażółć", "Zazolc"},
        RuleCase{{{"a", "ąę"}}, "ab", "ąę"},
        RuleCase{{{"ą", "ab"}}, "xą", "xa"},
        RuleCase{{{"x", "y"}, {"y", "z"}}, "x", "y"},
        // Longer than the sixteen bytes looked at together, and bytes that are
        // not UTF-8: rewritten as characters only when something is substituted.
        RuleCase{{{"ą", "a"}}, "Zażółć gęślą jaźń, zażółć gęślą jaźń",
                 "Zażółć gęśla jaźń, zażółć gęśla jaźń"},
        RuleCase{{{"ą", "a"}}, "\xFF\xC1\x81 nothing to change here",
                 "\xFF\xC1\x81 nothing to change here"},
        RuleCase{{{"ą", "a"}}, "\xFF\xC1\x81 ą", "\xEF\xBF\xBD" "A a"},
        RuleCase{{{"a", "€"}}, "a long line of plain ASCII text, a",
                 "€ long line of pl€in ASCII text, €"}));

class ReplacementRule : public ::testing::TestWithParam<RuleCase> {};

TEST_P(ReplacementRule, ReplacesTheFirstOccurrencePerEntry) {
  std::string line = GetParam().before;
  replaceFirstOccurrences(GetParam().table, line);
  EXPECT_EQ(line, GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ReplacementRule,
    ::testing::Values(RuleCase{{{"ab", ""}}, "abab", "ab"},
                      RuleCase{{{"a", "aa"}}, "a", "aa"},
                      RuleCase{{{"a", "b"}, {"b", "c"}}, "a", "c"},
                      RuleCase{{{"a", "b"}, {"b", "c"}}, "ba", "cb"},
                      RuleCase{{{"the", "THE"}}, "The", "The"},
                      RuleCase{{{"", "X"}}, "abc", "Xabc"},
                      RuleCase{{{"", "X"}}, "", ""},
                      RuleCase{{{"teh", "the"}}, "teh teh", "the teh"},
                      RuleCase{{{"ó", "o"}}, "Zażółć", "Zażołć"},
                      RuleCase{{{"x", "y"}}, "", ""}));

}  // namespace
}  // namespace pellumar
