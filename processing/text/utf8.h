#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace pellumar {

/// Appends the UTF-8 form of `cp`; surrogates are written as three bytes too,
/// so escaped bytes and lone UTF-16 surrogates survive the trip.
void appendUtf8(char32_t cp, std::string& out);

/// Decodes the character at `pos` and moves `pos` past it. Malformed bytes
/// decode one at a time to U+FFFD.
char32_t nextCodePoint(std::string_view utf8, std::size_t& pos);

/// True when `bytes` is well-formed UTF-8 (no surrogates, no overlongs).
bool isValidUtf8(std::string_view bytes);

/// Checks UTF-8 piece by piece, so a file can be judged without holding it.
class Utf8Validator {
 public:
  /// False once anything fed so far is not UTF-8.
  bool feed(const unsigned char* data, std::size_t size);
  /// True when everything fed is UTF-8 and no character is cut off at the end.
  bool complete() const { return valid_ && need_ == 0; }

 private:
  bool valid_ = true;
  int need_ = 0;                            // continuation bytes still expected
  unsigned char low_ = 0x80, high_ = 0xBF;  // range of the next continuation byte
};

}  // namespace pellumar
