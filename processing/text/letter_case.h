#pragma once

namespace pellumar {

// Letter classes of the characters the single-byte code pages hold: Latin up
// to U+024F, Greek and Cyrillic. In Latin Extended-B (U+0180 to U+024F) the
// case follows the alternating pairs most of the block is made of.

bool isLetter(char32_t c);
bool isUpperLetter(char32_t c);
/// The small letter of a capital; any other character as it is.
char32_t toLower(char32_t c);

}  // namespace pellumar
