#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "processing/passes/pass_table.h"
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
  bool buttonEnabled = true;

  /// Ticks the option of pass i of the pass table where bit i of `bits` is
  /// set, and clears the others.
  void tick(unsigned bits) {
    const auto passes = passTable();
    for (std::size_t i = 0; i < passes.size(); ++i) ticked[passes[i].option] = (bits >> i & 1) != 0;
  }

  void showMessage(const std::string& text, MessageIcon icon,
                   const std::optional<std::string>& title) override {
    messages.push_back({text, icon, title, buttonEnabled});
  }
  std::string chooseFile(const std::string&, const std::string&) override { return chosenFile; }
  bool isTicked(Option option) override { return ticked.contains(option) && ticked.at(option); }
  void setOpenButtonEnabled(bool enabled) override { buttonEnabled = enabled; }
};

}  // namespace pellumar::testing
