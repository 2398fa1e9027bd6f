#pragma once

#include <string>

namespace pellumar {

/// Cuts every formatting code out of one line: a "{" followed by a character
/// other than "}" or a digit, up to the nearest "}" after that character.
/// Frame numbers such as {100}{200} stay. Linear in the line's length.
void stripFormattingCodes(std::string& line);

}  // namespace pellumar
