#pragma once

#include <cstddef>

namespace pellumar {

/// Checks UTF-8 piece by piece, so a file can be judged without holding it.
class Utf8Validator {
 public:
  /// False once anything fed so far is not UTF-8.
  bool feed(const unsigned char* data, std::size_t size);
  /// True when everything fed is UTF-8 and no character is cut off at the end.
  bool complete() const { return valid_ && need_ == 0; }

 private:
  bool valid_ = true;
  int need_ = 0;  // continuation bytes still expected
  unsigned char low_ = 0x80, high_ = 0xBF;  // range of the next continuation byte
};

}  // namespace pellumar
