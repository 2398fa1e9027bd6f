// The single pass must end as the staged run does: the same ending, notes,
// failure, output and skip log, byte for byte, but where a failure leaves
// the single pass's earlier files (kFailurePolicy). Checked by the
// processing_run fuzz target's own checks, on generated subtitle-like files
// and on the target's seeds, under every set of passes.

#include <gtest/gtest.h>

#include "processing/files/file_io.h"
#include "tests/support/random.h"
#include "tests/support/rule_models.h"
#include "tests/support/stage_runner.h"

#define PELLUMAR_FUZZ_REPLAY
#include "fuzz/processing_run.cpp"

namespace pellumar {
namespace {

// Lines of both kinds, index-like lines, empty ones and pieces each pass
// looks for; every one can be written in windows-1250.
const testing::Lines kLines = testing::split(
    "1|2|-3|02||||T| |{1}{2}|{3}{4}teh ,|{5}{6}{y:i}|{7}{8} - Hello , world !|a --> b |"
    "teh  zażółć ...| - gęślą {Y:b} ?|<i>Łódź</i> -->|42|„cytat” …|Ąę 7 --");

// Lines in one of the encodings the program reads, now and then with
// characters only Unicode holds, a lone surrogate, an undefined byte, or cut
// so that it cannot be read to its end; now and then after a first piece of
// UTF-8, which the single pass checks as it reads.
std::string generated(std::uint64_t seed) {
  testing::Random random(seed);
  std::string text;
  const bool longStart = random.percent(5);
  while (longStart && text.size() <= FileReader::kChunkSize) text += "Zażółć gęślą  jaźń .\r\n";
  const char* const ends[] = {"\r\n", "\n", "\r"};
  const std::size_t end = random.below(3);
  for (std::size_t count = random.below(40); count > 0; --count)
    text += random.pick(kLines) + ends[random.percent(80) ? end : random.below(3)];
  const std::size_t form = random.below(8);
  // A byte of windows-1250 after the first piece of UTF-8.
  if (form <= 2) return (random.percent(30) ? "☃ ж 😀" + text : text) + (longStart ? "\xB9" : "");
  if (form == 3) return "\xEF\xBB\xBF" + text;
  std::string bytes;
  if (form >= 6) {
    CodePage::defaultPage()->encode(text, bytes);
    return bytes.insert(random.below(bytes.size() + 1), 1, "\x81\xB9\xC3"[random.below(3)]);
  }
  std::u32string chars = testing::charactersOf(text);
  if (random.percent(30))
    chars.insert(random.below(chars.size() + 1), 1, U"\xD83D\xDE00"[random.below(2)]);
  bytes = form == 4 ? testing::utf16(std::u16string(chars.begin(), chars.end()), false)
                    : testing::utf32(chars, true);
  if (random.percent(10)) bytes.pop_back();
  return bytes;
}

// The fuzz target's input `input` under all 64 sets of passes, until the
// two modes differ.
void expectModesAgree(std::string input) {
  for (unsigned char passes = 0; passes < 64 && !::testing::Test::HasFailure(); ++passes) {
    input[0] = static_cast<char>((input[0] & 0xC0) | passes);
    EXPECT_NO_THROW(fuzz::processing_run::run(reinterpret_cast<const std::uint8_t*>(input.data()),
                                              input.size()))
        << "input " << ::testing::PrintToString(input);
  }
}

class SinglePassMatchesStaged : public ::testing::TestWithParam<int> {};

// Each file with one of the fuzz target's first three tables, every fifth
// with leftovers of an earlier run.
TEST_P(SinglePassMatchesStaged, OnGeneratedFiles) {
  for (int n = 0; n < 40; ++n) {
    const int seed = GetParam() * 40 + n;
    expectModesAgree(std::string{char(seed % 5 == 0 ? 0x40 : 0), char(seed % 3 << 2)} +
                     generated(seed));
  }
}

INSTANTIATE_TEST_SUITE_P(Seeds, SinglePassMatchesStaged, ::testing::Range(0, 8));

// The fuzz target's seeds, among them inputs the generator reaches only by
// luck.
TEST(SinglePassMatchesStagedOn, TheFuzzSeeds) {
  const auto root = std::filesystem::path(__FILE__).parent_path().parent_path().parent_path();
  for (const auto& seed : std::filesystem::directory_iterator(root / "fuzz/corpus/processing_run"))
    expectModesAgree(testing::readBytes(seed.path()));
}

}  // namespace
}  // namespace pellumar
