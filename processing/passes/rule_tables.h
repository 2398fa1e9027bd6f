#pragma once

#include <vector>

#include "processing/passes/local_chars.h"
#include "processing/passes/replace_strings.h"
#include "processing/passes/text_pair.h"

namespace pellumar {

/// The local-character and replacement tables, as written and built for
/// applying. Building them costs more than cleaning a small file, so the
/// runs of a batch share one.
struct RuleTables {
  RuleTables(const std::vector<TextPair>& localCharTable,
             const std::vector<TextPair>& replacementTable)
      : localCharEntries(localCharTable),
        replacementEntries(replacementTable),
        localChars(localCharTable),
        replacements(replacementTable) {}

  std::vector<TextPair> localCharEntries;
  std::vector<TextPair> replacementEntries;
  LocalCharTable localChars;
  ReplacementTable replacements;
};

}  // namespace pellumar
