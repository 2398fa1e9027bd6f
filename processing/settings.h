#pragma once

#include <memory>
#include <string>
#include <vector>

#include "processing/code_page.h"

namespace pellumar {

struct TextPair {
  std::string from;
  std::string to;
  bool operator==(const TextPair&) const = default;
};

/// What a run needs from the settings file. Texts are UTF-8.
struct Settings {
  static constexpr std::size_t kMaxLocalChars = 60;
  static constexpr std::size_t kMaxReplacements = 100;
  static constexpr const char* kDefaultSuffix = "_PL";
  static constexpr const char* kDefaultCodePage = "windows-1250";

  std::vector<TextPair> localChars;    ///< single characters to substitute, in file order
  std::vector<TextPair> replacements;  ///< strings to replace, in file order
  std::string nameSuffix = kDefaultSuffix;
  /// Code page of files that are neither UTF-8 nor UTF-16; null means the default.
  std::shared_ptr<const CodePage> legacyCodePage;
};

}  // namespace pellumar
