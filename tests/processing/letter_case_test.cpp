#include "processing/text/letter_case.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cwctype>

namespace pellumar {
namespace {

// Against the C library's classes in a UTF-8 locale, over the blocks the
// single-byte pages draw their letters from: Latin up to Extended-A, Greek,
// Cyrillic. ª, µ and º count as signs here. Latin Extended-B, where the
// library and the alternating pairs part, by one of its pairs.
TEST(LetterCase, MatchesTheCLibrary) {
  ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
  for (unsigned code = 0; code < 0x500; ++code) {
    if ((code >= 0x180 && code < 0x386) || (code > 0x3CE && code < 0x400) || code == 0xAA ||
        code == 0xB5 || code == 0xBA)
      continue;
    const char32_t c = code;
    EXPECT_EQ(isLetter(c), std::iswalpha(code) != 0) << std::hex << code;
    EXPECT_EQ(isUpperLetter(c), std::iswupper(code) != 0) << std::hex << code;
    EXPECT_EQ(toLower(c), isLetter(c) ? std::towlower(code) : code) << std::hex << code;
  }
  std::setlocale(LC_CTYPE, "C");
  EXPECT_TRUE(isUpperLetter(U'Ȁ') && !isUpperLetter(U'ȁ') && toLower(U'Ȁ') == U'ȁ');
}

}  // namespace
}  // namespace pellumar
