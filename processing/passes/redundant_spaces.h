#pragma once

#include <string>

namespace pellumar {

/// First step: removes every space that stands, through further spaces,
/// before one of , . ; : ! ? (space means U+0020 only).
void removeSpacesBeforePunctuation(std::string& line);

/// Second step: trims leading and trailing spaces, then removes every space
/// that follows a hyphen through further spaces.
void trimAndRemoveSpacesAfterHyphens(std::string& line);

}  // namespace pellumar
