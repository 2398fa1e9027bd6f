#pragma once

#include <string>
#include <vector>

#include "processing/run_context.h"
#include "processing/settings.h"

namespace pellumar {

/// Replaces the first occurrence of each entry's from-text, entry by entry in
/// table order, each entry searching the line as the earlier ones left it.
void replaceFirstOccurrences(const std::vector<TextPair>& replacements, std::string& line);

/// Pass B: rewrites the output, replacing when "Search and Replace strings" is ticked.
void replaceStrings(RunContext& run);

}  // namespace pellumar
