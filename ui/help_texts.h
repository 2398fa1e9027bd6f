#pragma once

#include <string>

#include "processing/options.h"

namespace pellumar {

/// The mailbox the farewell message asks users to thank.
inline constexpr const char* kContactAddress = "thanks@pellumar.example.org";

/// The tooltip an option's box shows while help mode is on.
const char* helpText(Option option);

/// The message shown when the window closes in help mode; two lines joined
/// by CR LF like every message of the program.
std::string farewellMessage(const std::string& contactAddress = kContactAddress);

}  // namespace pellumar
