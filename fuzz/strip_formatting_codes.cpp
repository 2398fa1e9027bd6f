// Formatting-code removal on any line: the fast scan gives what cutting one
// code at a time and rescanning from the start gives; the line never grows;
// a second removal changes nothing.

#include "fuzz/fuzz_support.h"
#include "processing/formatting_codes.h"

namespace pellumar::fuzz::strip_formatting_codes {

// The rule as written: cut the first qualifying code, then scan again from
// the first character. Quadratic, so only for short lines.
std::string cutOneAtATime(std::string line) {
  std::size_t i = 0;
  while (i < line.size()) {
    if (line[i] == '{' && i + 1 < line.size() && line[i + 1] != '}' &&
        (line[i + 1] < '0' || line[i + 1] > '9')) {
      const std::size_t close = line.find('}', i + 2);
      if (close != std::string::npos) {
        line.erase(i, close - i + 1);
        i = 0;
        continue;
      }
    }
    ++i;
  }
  return line;
}

int run(const std::uint8_t* data, std::size_t size) {
  const std::string before(reinterpret_cast<const char*>(data), size);
  std::string line = before;
  stripFormattingCodes(line);
  FUZZ_CHECK(line.size() <= before.size());
  if (before.size() <= 2048) FUZZ_CHECK(line == cutOneAtATime(before));

  std::string again = line;
  stripFormattingCodes(again);
  FUZZ_CHECK(again == line);
  return 0;
}

}  // namespace pellumar::fuzz::strip_formatting_codes

PELLUMAR_FUZZ_TARGET(strip_formatting_codes)
