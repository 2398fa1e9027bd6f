// Trimming and removal of spaces after hyphens on any line: only spaces go,
// exactly those that trimming and one-space-at-a-time cutting remove, and a
// second run changes nothing. The whole space pass (both steps) is idempotent
// too.

#include "fuzz/fuzz_support.h"
#include "processing/passes/redundant_spaces.h"
#include "tests/support/rule_models.h"

namespace pellumar::fuzz::spaces_after_hyphens {

int run(const std::uint8_t* data, std::size_t size) {
  const std::string before(reinterpret_cast<const char*>(data), size);
  std::string line = before;
  trimAndRemoveSpacesAfterHyphens(line);
  FUZZ_CHECK(withoutSpaces(line) == withoutSpaces(before));
  if (before.size() <= 2048)
    FUZZ_CHECK(line == testing::trimAndCutSpacesAfterHyphensOneAtATime(before));
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
