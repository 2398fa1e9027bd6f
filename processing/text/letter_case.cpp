#include "processing/text/letter_case.h"

namespace pellumar {

namespace {

bool isGreekCapital(char32_t c) {
  return c == 0x386 || (c >= 0x388 && c <= 0x38A) || c == 0x38C || c == 0x38E || c == 0x38F ||
         (c >= 0x391 && c <= 0x3AB && c != 0x3A2);
}

// Cyrillic beyond the basic alphabet comes in pairs, capital first, except
// for Ӏ and the pairs after it up to U+04CE, which start one later.
bool isCyrillicCapital(char32_t c) {
  if (c >= 0x400 && c <= 0x42F) return true;
  if (c == 0x4C0) return true;
  if (c >= 0x4C1 && c <= 0x4CE) return c % 2 == 1;
  return ((c >= 0x460 && c <= 0x481) || (c >= 0x48A && c <= 0x4FF)) && c % 2 == 0;
}

}  // namespace

bool isUpperLetter(char32_t c) {
  if (c < 0x80) return c >= 'A' && c <= 'Z';
  if (c < 0x100) return c >= 0xC0 && c <= 0xDE && c != 0xD7;
  if (c <= 0x137) return c % 2 == 0;
  if (c == 0x138) return false;
  if (c <= 0x148) return c % 2 == 1;
  if (c == 0x149) return false;
  if (c <= 0x177) return c % 2 == 0;
  if (c == 0x178) return true;
  if (c <= 0x17E) return c % 2 == 1;
  if (c < 0x250) return c % 2 == 0;
  return isGreekCapital(c) || isCyrillicCapital(c);
}

bool isLetter(char32_t c) {
  if (c < 0x80) return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
  if (c < 0x100) return c >= 0xC0 && c != 0xD7 && c != 0xF7;
  if (c < 0x250) return true;
  if (c >= 0x386 && c <= 0x3CE) return c != 0x387 && c != 0x38B && c != 0x38D && c != 0x3A2;
  return c >= 0x400 && c <= 0x4FF && (c < 0x482 || c > 0x489);
}

char32_t toLower(char32_t c) {
  if (!isUpperLetter(c)) return c;
  if (c < 0x100) return c + 0x20;
  if (c == 0x130) return 'i';
  if (c == 0x178) return 0xFF;
  if (c < 0x250) return c + 1;
  if (c >= 0x391 && c <= 0x3AB) return c + 0x20;
  if (c == 0x386) return 0x3AC;
  if (c <= 0x38A) return c + 37;
  if (c == 0x38C) return 0x3CC;
  if (c <= 0x38F) return c + 63;
  if (c <= 0x40F) return c + 0x50;
  if (c <= 0x42F) return c + 0x20;
  if (c == 0x4C0) return 0x4CF;
  return c + 1;
}

}  // namespace pellumar
