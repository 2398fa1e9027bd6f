#include "ui/start_up.h"

#include "settings/settings_location.h"
#include "ui/message_presenter.h"

namespace pellumar {

std::unique_ptr<MainWindow> startUp(const std::optional<std::string>& settingsFile,
                                    WindowDialogs dialogs) {
  SettingsLoad load = loadSettings(settingsFile ? *settingsFile : settingsFileToRead());
  if (!load.settings) {
    MessageBoxPresenter messageBox;
    MessagePresenter& messages = dialogs.messages ? *dialogs.messages : messageBox;
    // Settings messages carry neither a title of their own nor an icon.
    messages.show(displayedMessage(load.error, MessageIcon::None, std::nullopt));
    return nullptr;
  }
  return std::make_unique<MainWindow>(std::move(*load.settings), dialogs);
}

}  // namespace pellumar
