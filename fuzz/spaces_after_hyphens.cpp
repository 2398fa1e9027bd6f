// Trimming and removal of spaces after hyphens on any line: only spaces go,
// exactly those that trimming and one-space-at-a-time cutting remove, and a
// second run changes nothing. The whole space pass (both steps) is idempotent
// too.

#include "fuzz/fuzz_support.h"
#include "processing/redundant_spaces.h"

namespace pellumar::fuzz::spaces_after_hyphens {

// The rule as written: trim once, then cut one space after a hyphen and scan
// from the start.
std::string cutOneAtATime(std::string line) {
  const std::size_t first = line.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  line = line.substr(first, line.find_last_not_of(' ') - first + 1);
  std::size_t p = 0;
  while (p + 1 < line.size()) {
    if (line[p] == '-' && line[p + 1] == ' ') {
      line.erase(p + 1, 1);
      p = 0;
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
  trimAndRemoveSpacesAfterHyphens(line);
  FUZZ_CHECK(withoutSpaces(line) == withoutSpaces(before));
  if (before.size() <= 2048) FUZZ_CHECK(line == cutOneAtATime(before));
  FUZZ_CHECK(line.empty() || (line.front() != ' ' && line.back() != ' '));
  FUZZ_CHECK(line.find("- ") == std::string::npos);

  std::string again = line;
  trimAndRemoveSpacesAfterHyphens(again);
  FUZZ_CHECK(again == line);

  // Both steps of the pass, as the run applies them.
  std::string both = before;
  removeSpacesBeforePunctuation(both);
  trimAndRemoveSpacesAfterHyphens(both);
  std::string bothAgain = both;
  removeSpacesBeforePunctuation(bothAgain);
  trimAndRemoveSpacesAfterHyphens(bothAgain);
  FUZZ_CHECK(bothAgain == both);
  return 0;
}

}  // namespace pellumar::fuzz::spaces_after_hyphens

PELLUMAR_FUZZ_TARGET(spaces_after_hyphens)
