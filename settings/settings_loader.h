#pragma once

#include <optional>
#include <string>

#include "processing/run/settings.h"

namespace pellumar {

inline constexpr const char* kSettingsFileName = "lexmend.ini";

/// Settings, or the message that explains why there are none.
struct SettingsLoad {
  std::optional<Settings> settings;
  std::string error;  ///< shown as it stands, e.g. "lexmend.ini not found."
};

/// Reads the settings file at `name` (relative names from the working folder).
/// Fills the local-character table from "[LOCAL_CHAR]" sections, the
/// replacement table from "[RSTRINGS]" sections, the output-name suffix from
/// the key NAMESUFIXADD, the legacy code page from the key CODEPAGE and the
/// output's encoding from OUTPUTCODEPAGE.
/// A missing file, a full table, an unknown code page or a read failure comes
/// back as the message; nothing is shown and the program goes on.
SettingsLoad loadSettings(const std::string& name);

}  // namespace pellumar
