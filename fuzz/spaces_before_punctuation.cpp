// Removal of spaces before punctuation on any line: only spaces go, exactly
// those that one-space-at-a-time cutting removes, and a second run changes
// nothing.

#include "fuzz/fuzz_support.h"
#include "processing/redundant_spaces.h"

namespace pellumar::fuzz::spaces_before_punctuation {

bool isPunctuation(char c) {
  return c == ',' || c == '.' || c == ';' || c == ':' || c == '!' || c == '?';
}

// The rule as written: cut one space before a mark, then scan from the start.
std::string cutOneAtATime(std::string line) {
  std::size_t p = 1;
  while (p < line.size()) {
    if (isPunctuation(line[p]) && line[p - 1] == ' ') {
      line.erase(p - 1, 1);
      p = 1;
      continue;
    }
    ++p;
  }
  return line;
}

std::string withoutSpaces(std::string_view text) {
  std::string rest;
  for (const char c : text) {
    if (c != ' ') rest += c;
  }
  return rest;
}

int run(const std::uint8_t* data, std::size_t size) {
  const std::string before(reinterpret_cast<const char*>(data), size);
  std::string line = before;
  removeSpacesBeforePunctuation(line);
  FUZZ_CHECK(withoutSpaces(line) == withoutSpaces(before));
  if (before.size() <= 2048) FUZZ_CHECK(line == cutOneAtATime(before));
  for (std::size_t p = 1; p < line.size(); ++p) {
    FUZZ_CHECK(!(line[p - 1] == ' ' && isPunctuation(line[p])));
  }

  std::string again = line;
  removeSpacesBeforePunctuation(again);
  FUZZ_CHECK(again == line);
  return 0;
}

}  // namespace pellumar::fuzz::spaces_before_punctuation

PELLUMAR_FUZZ_TARGET(spaces_before_punctuation)
