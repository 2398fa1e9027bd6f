#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "processing/text/utf8.h"

namespace pellumar {

/// A single-byte code page, with its tables built once through iconv.
///
/// Every byte decodes to one character. A byte the code page leaves undefined
/// decodes to U+DC00 + byte (U+DC80 to U+DCFF for the upper half) and encodes back to the same
/// byte, so a file comes back byte for byte wherever the passes did not change it.
class CodePage {
 public:
  /// Null when iconv does not know the name.
  static std::shared_ptr<const CodePage> open(const std::string& name);
  /// windows-1250, the page of files that say nothing of theirs.
  static std::shared_ptr<const CodePage> defaultPage();

  const std::string& name() const { return name_; }
  /// False for an encoding of several bytes a character (UTF-16, Shift_JIS,
  /// ...), which iconv opens as well: read a byte at a time, it makes no sense.
  bool singleByte() const { return !multiByte_; }

  /// Appends the UTF-8 form of `bytes` to `utf8`.
  void decode(std::string_view bytes, std::string& utf8) const;

  /// Appends the code-page form of `utf8` to `bytes`. On a character the code
  /// page cannot hold, returns it and leaves `bytes` partly written. A
  /// character that stands for an undefined byte goes back to that byte
  /// unless told otherwise: it is only the same byte in the page it came from.
  std::optional<char32_t> encode(std::string_view utf8, std::string& bytes,
                                 bool keepUndefinedBytes = true) const;

 private:
  explicit CodePage(std::string name) : name_(std::move(name)) {}

  std::string name_;
  std::array<std::string, 256> toUtf8_;
  std::unordered_map<char32_t, unsigned char> fromUnicode_;
  bool asciiCompatible_ = true;
  bool multiByte_ = false;
};

/// The pages a legacy file may be in, the preferred first. One page means
/// that page, without guessing.
using CodePageCandidates = std::vector<std::shared_ptr<const CodePage>>;

/// The character U+DC00 + b that stands for an undefined byte b.
constexpr char32_t kEscapedByteBase = 0xDC00;

}  // namespace pellumar
