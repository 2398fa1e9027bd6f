// The local-character table on any table and lines: each line keeps its
// length in characters and comes out as substituting position by position,
// entry by entry, gives. One prepared table serves all the lines.

#include "processing/passes/local_chars.h"
#include "fuzz/fuzz_support.h"
#include "processing/text/code_page.h"

namespace pellumar::fuzz::local_chars {

std::u32string characters(std::string_view utf8) {
  std::u32string chars;
  for (std::size_t pos = 0; pos < utf8.size();) chars.push_back(nextCodePoint(utf8, pos));
  return chars;
}

std::string utf8Of(const std::u32string& chars) {
  std::string text;
  for (const char32_t c : chars) appendUtf8(c, text);
  return text;
}

// Texts reach the table and the lines as UTF-8, lone surrogates allowed.
std::string asDecodedText(std::string_view bytes) { return utf8Of(characters(bytes)); }

// The rule as written, one position and one entry at a time. A line with no
// character of the table comes back as it was, bytes and all; one with a
// substitution comes back re-encoded, malformed bytes as U+FFFD.
std::string substituteSlowly(const std::vector<TextPair>& table, std::string_view line) {
  std::u32string chars = characters(line);
  bool hit = false;
  for (std::size_t i = 0; i < chars.size(); ++i) {
    const char32_t c = chars[i];
    for (const TextPair& entry : table) {
      const std::u32string from = characters(entry.from);
      const std::u32string to = characters(entry.to);
      // An empty to-text makes no entry: the line is not even re-encoded.
      if (from.size() != 1 || from[0] != c || to.empty()) continue;
      hit = true;
      for (std::size_t k = 0; k < to.size() && i + k < chars.size(); ++k) chars[i + k] = to[k];
    }
  }
  return hit ? utf8Of(chars) : std::string(line);
}

int run(const std::uint8_t* data, std::size_t size) {
  ByteReader input(data, size);
  const unsigned char shape = input.byte();
  std::vector<TextPair> table(shape % 8);
  for (TextPair& entry : table) {
    entry.from = asDecodedText(input.piece('\0', 6));
    entry.to = asDecodedText(input.piece('\0', 8));
  }
  // Lines as files give them, or any bytes at all.
  const bool anyBytes = (shape & 0x80) != 0;
  const LocalCharTable prepared(table);
  for (const std::string& before : splitAtLineFeeds(input.rest())) {
    std::string line = anyBytes ? before : asDecodedText(before);
    const std::string expected = substituteSlowly(table, line);
    const std::size_t length = characters(line).size();
    prepared.apply(line);
    FUZZ_CHECK(characters(line).size() == length);
    FUZZ_CHECK(line == expected);
  }
  return 0;
}

}  // namespace pellumar::fuzz::local_chars

PELLUMAR_FUZZ_TARGET(local_chars)
