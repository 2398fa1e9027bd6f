// Any bytes as the settings file: loading gives settings within their limits
// or a message.

#include "settings/settings_loader.h"

#include "fuzz/fuzz_support.h"

namespace pellumar::fuzz::settings_loader {

bool holdsLineBreak(const std::vector<TextPair>& table) {
  for (const TextPair& entry : table) {
    if ((entry.from + entry.to).find_first_of("\r\n") != std::string::npos) return true;
  }
  return false;
}

int run(const std::uint8_t* data, std::size_t size) {
  const std::string path = (scratchFolder() / "lexmend.ini").string();
  testing::writeBytes(path, std::string(reinterpret_cast<const char*>(data), size));
  const SettingsLoad load = loadSettings(path);
  FUZZ_CHECK(load.settings.has_value() == load.error.empty());
  if (!load.settings) return 0;
  const Settings& settings = *load.settings;
  FUZZ_CHECK(settings.localChars.size() <= Settings::kMaxLocalChars);
  FUZZ_CHECK(settings.replacements.size() <= Settings::kMaxReplacements);
  FUZZ_CHECK(!settings.nameSuffix.empty() && !settings.legacyPages().empty());
  FUZZ_CHECK(!holdsLineBreak(settings.localChars) && !holdsLineBreak(settings.replacements));
  return 0;
}

}  // namespace pellumar::fuzz::settings_loader

PELLUMAR_FUZZ_TARGET(settings_loader)
