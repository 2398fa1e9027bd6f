// Formatting-code removal on any line: the fast scan gives what cutting one
// code at a time and rescanning from the start gives; the line never grows;
// a second removal changes nothing.

#include "fuzz/fuzz_support.h"
#include "processing/passes/formatting_codes.h"
#include "tests/support/rule_models.h"

namespace pellumar::fuzz::strip_formatting_codes {

int run(const std::uint8_t* data, std::size_t size) {
  const std::string before(reinterpret_cast<const char*>(data), size);
  std::string line = before;
  stripFormattingCodes(line);
  FUZZ_CHECK(line.size() <= before.size());
  if (before.size() <= 2048) FUZZ_CHECK(line == testing::stripCodesOneAtATime(before));

  std::string again = line;
  stripFormattingCodes(again);
  FUZZ_CHECK(again == line);
  return 0;
}

}  // namespace pellumar::fuzz::strip_formatting_codes

PELLUMAR_FUZZ_TARGET(strip_formatting_codes)
