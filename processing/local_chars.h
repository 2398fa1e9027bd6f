#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "processing/run_context.h"
#include "processing/settings.h"

namespace pellumar {

/// The local-character table, ready to apply. Entries whose from-text is not
/// exactly one character never match and are left out.
class LocalCharTable {
 public:
  explicit LocalCharTable(const std::vector<TextPair>& entries);

  /// Substitutes in place. The line keeps its length in characters: each
  /// to-text overwrites from the matching position on and is cut at the end.
  void apply(std::string& line) const;

 private:
  // For each from-character, the to-texts of its entries in table order.
  std::unordered_map<char32_t, std::vector<std::u32string>> entries_;
  bool asciiHit_[128] = {};
};

/// Pass A: copies the chosen file into the output, substituting when
/// "Substitute localized chararacters" is ticked.
void substituteLocalChars(RunContext& run);

}  // namespace pellumar
