#pragma once

#include <string>

namespace pellumar {

/// One entry of the settings' tables: what to look for and what to put
/// instead, as UTF-8.
struct TextPair {
  std::string from;
  std::string to;
  bool operator==(const TextPair&) const = default;
};

}  // namespace pellumar
