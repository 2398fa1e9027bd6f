#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "processing/passes/text_pair.h"

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
  // Index into toTexts_ plus one; 0 for a character without entries.
  using Slot = std::uint32_t;

  Slot slotOf(char32_t c) const;
  void substituteSingles(std::string& line) const;
  void substituteInChars(std::string& line) const;

  // For each from-character, the to-texts of its entries in table order.
  std::vector<std::vector<std::u32string>> toTexts_;
  // Characters of up to two UTF-8 bytes, which the usual tables hold, are
  // looked up directly; the rest through the map.
  std::array<Slot, 0x800> nearSlots_{};
  std::unordered_map<char32_t, Slot> farSlots_;
  bool asciiHits_ = false;
  // When every to-text is one character, each from-character simply becomes
  // its last entry's to-text, here in UTF-8.
  struct ShortUtf8 {
    char bytes[4] = {};
    std::uint8_t size = 0;
  };
  bool singles_ = true;
  std::vector<ShortUtf8> lastTo_;
};

}  // namespace pellumar
