// First-occurrence replacement on any table and lines: the result is what
// searching and splicing entry by entry gives, and it grows by no more than
// the to-texts put in. One prepared table serves all the lines.

#include "processing/passes/replace_strings.h"
#include "fuzz/fuzz_support.h"

namespace pellumar::fuzz::replace_strings {

std::size_t firstOccurrence(std::string_view line, std::string_view text) {
  for (std::size_t p = 0; p + text.size() <= line.size(); ++p) {
    if (line.compare(p, text.size(), text) == 0) return p;
  }
  return std::string_view::npos;
}

// The rule as written.
std::string replaceSlowly(const std::vector<TextPair>& table, std::string line) {
  for (const TextPair& entry : table) {
    if (line.empty()) continue;  // holds nothing, not even the empty text
    const std::size_t p = firstOccurrence(line, entry.from);
    if (p == std::string_view::npos) continue;
    line = line.substr(0, p) + entry.to + line.substr(p + entry.from.size());
  }
  return line;
}

int run(const std::uint8_t* data, std::size_t size) {
  ByteReader input(data, size);
  // Mostly small tables; now and then one past the 128 entries a line's
  // positions are kept for on the stack.
  const unsigned char shape = input.byte();
  std::vector<TextPair> table(shape >= 250 ? 130 : shape % 12);
  std::size_t added = 0;
  for (TextPair& entry : table) {
    entry.from = input.piece('\0', 8);
    entry.to = input.piece('\0', 8);
    added += entry.to.size();
  }
  const ReplacementTable prepared(table);
  for (const std::string& before : splitAtLineFeeds(input.rest())) {
    const std::string expected = replaceSlowly(table, before);
    std::string line = before;
    prepared.apply(line);
    FUZZ_CHECK(line.size() <= before.size() + added);
    FUZZ_CHECK(line == expected);
  }
  return 0;
}

}  // namespace pellumar::fuzz::replace_strings

PELLUMAR_FUZZ_TARGET(replace_strings)
