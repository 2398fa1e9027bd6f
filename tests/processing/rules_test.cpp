// The passes' rules on lines: examples that anchor the slow models of
// tests/support/rule_models.h (the line_stages fuzz target compares the rules
// with them on any lines), the blank-subtitle branches and the block too long
// to buffer, tables too large for the fuzz target, and lines long enough to
// show quadratic work.

#include <gtest/gtest.h>

#include "processing/passes/blank_subtitles.h"
#include "processing/passes/formatting_codes.h"
#include "processing/passes/local_chars.h"
#include "processing/passes/redundant_spaces.h"
#include "processing/passes/replace_strings.h"
#include "tests/support/random.h"
#include "tests/support/rule_models.h"
#include "tests/support/stage_runner.h"

namespace pellumar {
namespace {

using namespace testing;
using Table = std::vector<TextPair>;

std::string repeated(const std::string& piece, std::size_t times) {
  std::string text;
  while (times-- > 0) text += piece;
  return text;
}

TEST(LineRules, AsTheirModelsAndInLinearTime) {
  const auto expect = [](void (*rule)(std::string&), std::string (*model)(std::string),
                         const std::string& before, const std::string& after) {
    std::string line = before;
    rule(line);
    EXPECT_TRUE(line == after) << before.substr(0, 40);
    EXPECT_EQ(model ? model(before) : after, after);
  };
  expect(stripFormattingCodes, stripCodesOneAtATime, "{C:$FF0000}{Y:i,u}Text {b}x{/b}", "Text x");
  expect(stripFormattingCodes, stripCodesOneAtATime, "{100}{200}{a{b}c}x{1}{0}{9}{:}{/}",
         "{100}{200}c}x{1}{0}{9}");
  expect(removeSpacesBeforePunctuation, cutSpacesBeforePunctuationOneAtATime,
         "word , word .a ;b :c   ?!", "word, word.a;b:c?!");
  expect(trimAndRemoveSpacesAfterHyphens, trimAndCutSpacesAfterHyphensOneAtATime,
         "  {1}{2}- - a - b  ", "{1}{2}--a -b");
  // Many codes, many braces without an end, many frame numbers before a code
  // at the very end, many spaces before a mark or after a hyphen.
  expect(stripFormattingCodes, nullptr, repeated("x{a}", 200000), std::string(200000, 'x'));
  expect(stripFormattingCodes, nullptr, repeated("{a", 300000), repeated("{a", 300000));
  expect(stripFormattingCodes, nullptr, repeated("{1}", 200000) + "{a}", repeated("{1}", 200000));
  expect(removeSpacesBeforePunctuation, nullptr,
         std::string(500000, ' ') + "." + repeated(" ,", 300000), "." + std::string(300000, ','));
  expect(trimAndRemoveSpacesAfterHyphens, nullptr, repeated("-  ", 300000),
         std::string(300000, '-'));
}

// Blocks start at index lines, whole numbers that read back unchanged, and
// are written or logged whole, as the model says; a block too long to buffer
// is in the fuzz target's seeds and the failure tests of the runs.
TEST(BlankSubtitles, SubRipBlocksWrittenOrLeftOutWhole) {
  for (const char* line : {"0", "-42", "999999999999999", "-100000000000000", "1000000000000000",
                           "-0", "+1", "01", "1.0", "1e3", "", "\xd9\xa1"}) {
    EXPECT_EQ(isIndexLine(line), readsBackAsNumber(line)) << '"' << line << '"';
  }
  // The input, what is written, and the first lines of the blocks logged.
  const auto expect = [](const std::string& input, const std::string& written,
                         const std::string& skipped) {
    Lines logged;
    for (const std::string& first : split(skipped)) logged.push_back(kSkippedBlock + first);
    VectorLog log;
    BlockBlankStage stage(log);
    EXPECT_EQ(runLines(stage, split(input)), split(written)) << input;
    EXPECT_EQ(log.entries, logged) << input;
    EXPECT_EQ(blocksOf(split(input)).out, split(written)) << input;
  };
  expect("", "", "");
  expect("1|T|a||2|T||3|T|c|", "1|T|a||3|T|c|", "2");
  expect("1|T|a||2|T", "1|T|a|", "2");                  // only index and time at the end
  expect("1|T|2|T|b", "2|T|b", "1");                    // ... and before the next index
  expect("1|T| |", "1|T| |", "");                       // a space is text
  expect("1|text||", "", "1");                          // lines one and two are not looked at
  expect("1|T|1999||2|T|b|", "2|T|b|", "1|1999");       // a number-only text line splits it
  expect("1|T|1999|more|text", "1999|more|text", "1");  // no renumbering
  expect("header|||1|T|", "header||", "1");          // a leading block is written whatever it holds
  expect("||1|T|a|b|c||2|T|", "||1|T|a|b|c|", "2");  // an earlier longer block leaves no trace
  expect("-3|T|", "", "-3");
}

TEST(LocalCharTable, SubstitutesCharactersInPlace) {
  const auto expect = [](const Table& table, const std::string& before, const std::string& after) {
    std::string line = before;
    LocalCharTable(table).apply(line);
    EXPECT_EQ(line, after) << before;
    EXPECT_EQ(substituteOneByOne(table, before), after) << before;
  };
  expect({{"a", "b"}, {"b", "c"}}, "ab", "bc");
  expect({{"a", "xyz"}, {"y", "q"}, {"a", "w"}}, "abcd", "wqzd");
  expect({{"a", ""}, {"ab", "x"}, {"", "y"}}, "banana", "banana");
  // The line keeps its length in characters.
  expect({{"ą", "a"}, {"ę", "e"}, {"ł", "l"}, {"b", "ąę"}}, "Zażółć gęślą b", "Zażólć geśla ą");
  // U+07FF and U+0800 on either side of the table's directly indexed part.
  expect({{"\u07FF", "x"}, {"\u0800", "y"}}, "a\u07FF\u0800b", "axyb");
  // Bytes that are not UTF-8 are rewritten only when something is substituted.
  expect({{"ą", "a"}}, "\xFF\xC1\x81 nothing here", "\xFF\xC1\x81 nothing here");
  expect({{"ą", "a"}}, "\xFF\xC1\x81 ą",
         "\xEF\xBF\xBD"
         "A a");
}

// Examples, then tables over a few letters, so that from-texts are prefixes
// of one another, overlap, and make or break each other's occurrences;
// tables past the hundred entries the loader allows; long from-texts that
// start alike, which make the table one for the automaton, with more states
// than it holds moves for in full, where a mismatch falls back deep along
// the a's.
TEST(ReplacementTable, ReplacesAsEntryByEntry) {
  std::vector<std::pair<Table, Lines>> rounds;
  const auto example = [&](const Table& table, const std::string& before,
                           const std::string& after) {
    EXPECT_EQ(replaceEntryByEntry(table, before), after);
    rounds.emplace_back(table, Lines{before});
  };
  example({{"ab", ""}}, "abab", "ab");
  example({{"a", "b"}, {"b", "c"}}, "ba", "cb");
  example({{"", "X"}}, "abc", "Xabc");
  example({{"", "X"}}, "", "");
  // A from-text one byte longer than the rest of the line, ending in the NUL
  // a string keeps after its end.
  example({{std::string("abcdefgh\0", 9), "x"}}, "abcdefgh", "abcdefgh");
  Random random(11);
  const Lines pieces{"a", "b", "ab", "ą", " ", "aa"};
  const auto text = [&](std::size_t most) {
    std::string made;
    for (std::size_t n = random.below(most + 1); n > 0; --n) made += random.pick(pieces);
    return made;
  };
  for (int round = 0; round < 500; ++round) {
    auto& [table, lines] = rounds.emplace_back(
        Table(round % 4 ? 1 + random.below(12) : 90 + random.below(60)), Lines{});
    for (TextPair& entry : table)
      entry = {text(round % 8 == 1 ? 1 : round % 8 == 4 ? 40 : 6), text(3)};
    for (int i = 0; i < 20; ++i) lines.push_back(text(i % 5 == 0 ? 300 : 20));
  }
  auto& [longTable, longLines] = rounds.emplace_back(Table(100), Lines(40));
  for (std::size_t k = 0; k < longTable.size(); ++k)
    longTable[k] = {k % 20 ? random.text(1000, "ab") : std::string(880 + k * 2, 'a') + "b", "x"};
  for (std::string& line : longLines)
    line = random.text(3000, "ab") + std::string(995, 'a') + "b" + random.pick(longTable).from;
  for (const auto& [table, lines] : rounds) {
    const ReplacementTable prepared(table);
    for (std::string line : lines) {
      const std::string before = line;
      prepared.apply(line);
      ASSERT_EQ(line, replaceEntryByEntry(table, before)) << table.size() << ": " << before;
    }
  }
}

}  // namespace
}  // namespace pellumar
