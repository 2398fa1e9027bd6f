#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "processing/window_system.h"

namespace pellumar::testing {

/// A window that answers from fields and records what the core asked of it.
class FakeWindowSystem : public WindowSystem {
 public:
  struct Message {
    std::string text;
    MessageIcon icon;
    std::optional<std::string> title;
    bool buttonEnabled;  // the open button's state while the message was shown
  };

  std::string chosenFile;
  std::map<Option, bool> ticked{{Option::SubstituteLocalChars, true},
                                {Option::ReplaceStrings, true}};
  std::vector<Message> messages;
  std::vector<std::string> dialogTitles;
  bool buttonEnabled = true;

  void showMessage(const std::string& text, MessageIcon icon,
                   const std::optional<std::string>& title) override {
    messages.push_back({text, icon, title, buttonEnabled});
  }
  std::string chooseFile(const std::string& title, const std::string& /*filter*/) override {
    dialogTitles.push_back(title);
    return chosenFile;
  }
  bool isTicked(Option option) override {
    auto found = ticked.find(option);
    return found != ticked.end() && found->second;
  }
  void setOpenButtonEnabled(bool enabled) override { buttonEnabled = enabled; }

  /// Ticks exactly these options.
  void tickOnly(std::initializer_list<Option> options) {
    ticked.clear();
    for (Option option : options) ticked[option] = true;
  }
};

}  // namespace pellumar::testing
