#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "processing/byte_block.h"
#include "processing/run_context.h"
#include "processing/settings.h"

namespace pellumar {

/// The replacement table, ready to apply to many lines.
class ReplacementTable {
 public:
  explicit ReplacementTable(const std::vector<TextPair>& entries);

  /// Replaces the first occurrence of each entry's from-text, entry by entry
  /// in table order, each entry searching the line as the earlier ones left it.
  void apply(std::string& line) const;

 private:
  bool mayOccur(std::string_view line) const;

  std::vector<TextPair> entries_;
  // What a from-text starts with, to rule most lines out in one look: its
  // first two bytes, each spread over a block, or its only byte.
  std::vector<ByteBlock> firstBytes_, secondBytes_, onlyBytes_;
  std::array<bool, 256> startsEntry_{};
  bool emptyEntry_ = false;
};

/// The same for a table used once.
void replaceFirstOccurrences(const std::vector<TextPair>& replacements, std::string& line);

}  // namespace pellumar
