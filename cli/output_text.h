#pragma once

#include <cstdio>
#include <optional>
#include <string>

namespace pellumar::cli {

inline constexpr const char* kProgramName = "pellumar-cli";

/// "pellumar-cli: TEXT\n", or "pellumar-cli: FILE: TEXT\n" with a file, with
/// the message's line breaks turned into spaces so it stays one line.
std::string errorLine(const std::string& text, const std::optional<std::string>& file = {});

/// Writes `text` to `stream` as it stands; nothing for an empty text.
void writeText(const std::string& text, std::FILE* stream);

}  // namespace pellumar::cli
