#include <gtest/gtest.h>

#include <random>

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
        RuleCase{{{"a", "b"}, {"b", "c"}}, "ab", "bc"}, RuleCase{{{"a", "xy"}}, "ab", "xy"},
        RuleCase{{{"a", "xy"}}, "a", "x"}, RuleCase{{{"a", "xy"}, {"y", "z"}}, "ab", "xz"},
        RuleCase{{{"a", "xyz"}, {"a", "q"}}, "abcd", "qyzd"},
        RuleCase{{{"a", ""}}, "banana", "banana"}, RuleCase{{{"a", "b"}}, "A", "A"},
        RuleCase{{{"a", "b"}}, "", ""}, RuleCase{{{"ab", "x"}, {"", "y"}}, "ab", "ab"},
        // Characters, not bytes: the line keeps its length in characters.
        RuleCase{{{"ą", "a"}, {"ę", "e"}, {"ł", "l"}}, "Zażółć gęślą", "Zażólć geśla"},
        RuleCase{{{"ż", "z"}, {"ó", "o"}, {"ł", "l"}, {"ć", "c"}}, "Zażółć", "Zazolc"},
        RuleCase{{{"a", "ąę"}}, "ab", "ąę"}, RuleCase{{{"ą", "ab"}}, "xą", "xa"},
        RuleCase{{{"x", "y"}, {"y", "z"}}, "x", "y"},
        // Longer than the sixteen bytes looked at together, and bytes that are
        // not UTF-8: rewritten as characters only when something is substituted.
        RuleCase{{{"ą", "a"}},
                 "Zażółć gęślą jaźń, zażółć gęślą jaźń",
                 "Zażółć gęśla jaźń, zażółć gęśla jaźń"},
        RuleCase{{{"ą", "a"}},
                 "\xFF\xC1\x81 nothing to change here",
                 "\xFF\xC1\x81 nothing to change here"},
        RuleCase{{{"ą", "a"}},
                 "\xFF\xC1\x81 ą",
                 "\xEF\xBF\xBD"
                 "A a"},
        RuleCase{{{"a", "€"}},
                 "a long line of plain ASCII text, a",
                 "€ long line of pl€in ASCII text, €"}));

class ReplacementRule : public ::testing::TestWithParam<RuleCase> {};

TEST_P(ReplacementRule, ReplacesTheFirstOccurrencePerEntry) {
  std::string line = GetParam().before;
  ReplacementTable(GetParam().table).apply(line);
  EXPECT_EQ(line, GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ReplacementRule,
    ::testing::Values(RuleCase{{{"ab", ""}}, "abab", "ab"}, RuleCase{{{"a", "aa"}}, "a", "aa"},
                      RuleCase{{{"a", "b"}, {"b", "c"}}, "a", "c"},
                      RuleCase{{{"a", "b"}, {"b", "c"}}, "ba", "cb"},
                      RuleCase{{{"the", "THE"}}, "The", "The"},
                      RuleCase{{{"", "X"}}, "abc", "Xabc"}, RuleCase{{{"", "X"}}, "", ""},
                      RuleCase{{{"teh", "the"}}, "teh teh", "the teh"},
                      RuleCase{{{"ó", "o"}}, "Zażółć", "Zażołć"}, RuleCase{{{"x", "y"}}, "", ""}));

// What the prepared table must give: each entry searched for and spliced in
// turn.
std::string replaceEntryByEntry(const std::vector<TextPair>& table, std::string line) {
  for (const TextPair& entry : table) {
    const std::size_t at = line.empty() ? std::string::npos : line.find(entry.from);
    if (at != std::string::npos) line.replace(at, entry.from.size(), entry.to);
  }
  return line;
}

// Tables over a few letters, so that from-texts are prefixes of one another,
// overlap, and make or break each other's occurrences; small tables and
// tables past the hundred entries the loader allows; lines short and long.
TEST(ReplacementTable, ReplacesAsEntryByEntryOnRandomTables) {
  std::mt19937 random(11);
  const std::string_view pieces[] = {"a", "b", "ab", "ą", " ", "aa"};
  auto text = [&](std::size_t most) {
    std::string made;
    for (std::size_t n = random() % (most + 1); n > 0; --n) made += pieces[random() % 6];
    return made;
  };
  for (int round = 0; round < 400; ++round) {
    std::vector<TextPair> table(round % 4 == 0 ? 90 + random() % 60 : 1 + random() % 12);
    for (TextPair& entry : table) {
      entry.from = text(round % 8 == 1 ? 1 : 4);
      entry.to = text(3);
    }
    const ReplacementTable prepared(table);
    for (int i = 0; i < 20; ++i) {
      const std::string before = text(i % 5 == 0 ? 300 : 20);
      std::string line = before;
      prepared.apply(line);
      ASSERT_EQ(line, replaceEntryByEntry(table, before)) << "round " << round << ": " << before;
    }
  }
}

// Long from-texts make more states than the automaton holds moves for in
// full; the rest follow their failures.
TEST(ReplacementTable, ReplacesAsEntryByEntryWithLongFromTexts) {
  std::mt19937 random(12);
  auto text = [&](std::size_t length) {
    std::string made(length, 'a');
    for (char& c : made) c = "ab"[random() % 2];
    return made;
  };
  std::vector<TextPair> table(100);
  for (TextPair& entry : table) entry = {text(1000), text(2)};
  // Deep in the automaton, where a mismatch must fall back along the a's.
  for (std::size_t k = 0; k < 4; ++k) table[k * 20].from = std::string(880 + k * 30, 'a') + "b";
  const ReplacementTable prepared(table);
  for (int i = 0; i < 40; ++i) {
    std::string before = text(3000);
    if (i % 4 == 1) before.insert(random() % before.size(), std::string(995, 'a') + "b");
    // Some lines hold from-texts whole.
    if (i % 2 == 0) before.insert(random() % before.size(), table[random() % 100].from);
    std::string line = before;
    prepared.apply(line);
    ASSERT_EQ(line, replaceEntryByEntry(table, before)) << i;
  }
}

}  // namespace
}  // namespace pellumar
