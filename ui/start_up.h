#pragma once

#include <memory>
#include <string>

#include "settings/settings_loader.h"
#include "ui/main_window.h"

namespace pellumar {

/// Loads the settings file and builds the window, not yet shown. When the
/// settings cannot be loaded, shows why and returns null: the window is never
/// seen and the program is to end with a failure status.
std::unique_ptr<MainWindow> startUp(const std::string& settingsFile = kSettingsFileName,
                                    WindowDialogs dialogs = {});

}  // namespace pellumar
