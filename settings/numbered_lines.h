#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace pellumar {

/// Numbered access to a text file's lines. Both calls are stateless: each one
/// reads the whole file from its start. CR LF, a lone CR and a lone LF each end
/// a line. When no file stands at `name` (a folder counts as none), they return
/// nothing and set `error` to `name` followed by " not found."; when the file
/// cannot be read, to the reason.

/// The number of lines in the file.
std::optional<std::int32_t> countLines(const std::string& name, std::string& error);

/// Line `k` of the file, counted from 1; empty text when there is no line k.
std::optional<std::string> readLineAt(const std::string& name, std::int32_t k, std::string& error);

}  // namespace pellumar
