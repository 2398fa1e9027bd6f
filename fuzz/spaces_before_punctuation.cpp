// Removal of spaces before punctuation on any line: only spaces go, exactly
// those that one-space-at-a-time cutting removes, and a second run changes
// nothing.

#include "fuzz/fuzz_support.h"
#include "processing/passes/redundant_spaces.h"
#include "tests/support/rule_models.h"

namespace pellumar::fuzz::spaces_before_punctuation {

int run(const std::uint8_t* data, std::size_t size) {
  const std::string before(reinterpret_cast<const char*>(data), size);
  std::string line = before;
  removeSpacesBeforePunctuation(line);
  FUZZ_CHECK(withoutSpaces(line) == withoutSpaces(before));
  if (before.size() <= 2048)
    FUZZ_CHECK(line == testing::cutSpacesBeforePunctuationOneAtATime(before));
  for (std::size_t p = 1; p < line.size(); ++p) {
    FUZZ_CHECK(!(line[p - 1] == ' ' && testing::isPunctuationMark(line[p])));
  }

  std::string again = line;
  removeSpacesBeforePunctuation(again);
  FUZZ_CHECK(again == line);
  return 0;
}

}  // namespace pellumar::fuzz::spaces_before_punctuation

PELLUMAR_FUZZ_TARGET(spaces_before_punctuation)
