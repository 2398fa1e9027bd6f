#include <gtest/gtest.h>

#include <random>

#include "processing/passes/local_chars.h"
#include "processing/passes/replace_strings.h"

namespace pellumar {
namespace {

struct RuleCase {
  std::vector<TextPair> table;
  std::string before, after;
};

TEST(LocalCharTable, SubstitutesInPlace) {
  const RuleCase cases[] = {
      {{{"a", "b"}, {"b", "c"}}, "ab", "bc"},
      {{{"a", "xy"}}, "ab", "xy"},
      {{{"a", "xy"}}, "a", "x"},
      {{{"a", "xy"}, {"y", "z"}}, "ab", "xz"},
      {{{"a", "xyz"}, {"a", "q"}}, "abcd", "qyzd"},
      {{{"a", ""}}, "banana", "banana"},
      {{{"a", "b"}}, "A", "A"},
      {{{"a", "b"}}, "", ""},
      {{{"ab", "x"}, {"", "y"}}, "ab", "ab"},
      // Characters, not bytes: the line keeps its length in characters.
      {{{"ą", "a"}, {"ę", "e"}, {"ł", "l"}}, "Zażółć gęślą", "Zażólć geśla"},
      {{{"a", "ąę"}}, "ab", "ąę"},
      {{{"ą", "ab"}}, "xą", "xa"},
      // U+07FF and U+0800 on either side of the table's directly indexed part.
      {{{"\u07FF", "x"}, {"\u0800", "y"}}, "a\u07FF\u0800b", "axyb"},
      // Longer than the sixteen bytes looked at together, and bytes that are
      // not UTF-8: rewritten as characters only when something is substituted.
      {{{"ą", "a"}},
       "Zażółć gęślą jaźń, zażółć gęślą jaźń",
       "Zażółć gęśla jaźń, zażółć gęśla jaźń"},
      {{{"ą", "a"}}, "\xFF\xC1\x81 nothing to change here", "\xFF\xC1\x81 nothing to change here"},
      {{{"ą", "a"}},
       "\xFF\xC1\x81 ą",
       "\xEF\xBF\xBD"
       "A a"},
      {{{"a", "€"}}, "a long line of plain ASCII text, a", "€ long line of pl€in ASCII text, €"},
      // Where a long line's characters fall against its blocks of sixteen:
      // across the first two, in the last (which overlaps the one before),
      // a three-byte one across and a match after it, and a character not
      // in shortest form far before the match.
      {{{"ą", "a"}}, "123456789012345ą and more", "123456789012345a and more"},
      {{{"ą", "a"}}, "twenty ASCII bytes, ą", "twenty ASCII bytes, a"},
      {{{"ą", "a"}}, "12345678901234€ plain text ą", "12345678901234€ plain text a"},
      {{{"ą", "a"}}, "12345678901234€ plain text", "12345678901234€ plain text"},
      {{{"ą", "a"}}, "\xC1\x81 plain ASCII text, then ą", "A plain ASCII text, then a"},
      {{{"ą", "a"}}, "Zażółć gęśl jaźń, zażółć gęśl jaźń", "Zażółć gęśl jaźń, zażółć gęśl jaźń"}};
  for (const RuleCase& c : cases) {
    std::string line = c.before;
    LocalCharTable(c.table).apply(line);
    EXPECT_EQ(line, c.after) << c.before;
  }
}

// What the prepared table must give: each entry searched for and spliced in
// turn, the first occurrence only; nothing is put into an empty line.
std::string replaceEntryByEntry(const std::vector<TextPair>& table, std::string line) {
  for (const TextPair& entry : table) {
    const std::size_t at = line.empty() ? std::string::npos : line.find(entry.from);
    if (at != std::string::npos) line.replace(at, entry.from.size(), entry.to);
  }
  return line;
}

void expectEntryByEntry(const std::vector<TextPair>& table, const std::vector<std::string>& lines) {
  const ReplacementTable prepared(table);
  for (const std::string& before : lines) {
    std::string line = before;
    prepared.apply(line);
    ASSERT_EQ(line, replaceEntryByEntry(table, before)) << table.size() << " entries: " << before;
  }
}

// A few examples that anchor the model, then tables over a few letters, so
// that from-texts are prefixes of one another, overlap, and make or break
// each other's occurrences; small tables and tables past the hundred entries
// the loader allows, from-texts short and long; lines short and long.
TEST(ReplacementTable, ReplacesAsEntryByEntry) {
  for (const RuleCase& c :
       {RuleCase{{{"ab", ""}}, "abab", "ab"}, RuleCase{{{"a", "b"}, {"b", "c"}}, "ba", "cb"},
        RuleCase{{{"", "X"}}, "abc", "Xabc"}, RuleCase{{{"", "X"}}, "", ""},
        // A from-text one byte longer than the rest of the line, even one that
        // ends in the NUL a string keeps after its end.
        RuleCase{{{std::string("a\0", 2), "x"}}, "a", "a"},
        RuleCase{{{std::string("abcdefgh\0", 9), "x"}}, "abcdefgh", "abcdefgh"}}) {
    EXPECT_EQ(replaceEntryByEntry(c.table, c.before), c.after);
    expectEntryByEntry(c.table, {c.before});
  }
  std::mt19937 random(11);
  const std::string_view pieces[] = {"a", "b", "ab", "ą", " ", "aa"};
  auto text = [&](std::size_t most) {
    std::string made;
    for (std::size_t n = random() % (most + 1); n > 0; --n) made += pieces[random() % 6];
    return made;
  };
  for (int round = 0; round < 400; ++round) {
    std::vector<TextPair> table(round % 4 == 0 ? 90 + random() % 60 : 1 + random() % 12);
    // Long from-texts that start alike make the table one for the automaton.
    const std::size_t fromMost = round % 8 == 1 ? 1 : round % 8 == 4 ? 40 : 6;
    for (TextPair& entry : table) entry = {text(fromMost), text(3)};
    std::vector<std::string> lines;
    for (int i = 0; i < 20; ++i) lines.push_back(text(i % 5 == 0 ? 300 : 20));
    expectEntryByEntry(table, lines);
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
  std::vector<std::string> lines;
  for (int i = 0; i < 40; ++i) {
    std::string before = text(3000);
    if (i % 4 == 1) before.insert(random() % before.size(), std::string(995, 'a') + "b");
    // Some lines hold from-texts whole.
    if (i % 2 == 0) before.insert(random() % before.size(), table[random() % 100].from);
    lines.push_back(before);
  }
  expectEntryByEntry(table, lines);
}

}  // namespace
}  // namespace pellumar
