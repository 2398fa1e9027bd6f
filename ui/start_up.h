#pragma once

#include <memory>
#include <optional>
#include <string>

#include "settings/settings_loader.h"
#include "ui/main_window.h"

namespace pellumar {

/// Loads the settings file and builds the window, not yet shown. Without a
/// file named, the first lexmend.ini of the search order is read (the working
/// folder, the user's configuration folder, the installed sample). When the
/// settings cannot be loaded, shows why and returns null: the window is never
/// seen and the program is to end with a failure status.
std::unique_ptr<MainWindow> startUp(const std::optional<std::string>& settingsFile = std::nullopt,
                                    WindowDialogs dialogs = {});

}  // namespace pellumar
