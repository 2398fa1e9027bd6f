#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "processing/window_system.h"

namespace pellumar::testing {

/// The six passes in the order a run takes them.
constexpr Option kRunOptions[] = {Option::SubstituteLocalChars,  Option::ReplaceStrings,
                                  Option::RemoveFormattingCodes, Option::DeleteRedundantSpaces,
                                  Option::DeleteBlankSubtitles,  Option::FixSrtBlankLines};

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

  /// Ticks kRunOptions[i] where bit i of `bits` is set, and clears the others.
  void tick(unsigned bits) {
    for (std::size_t i = 0; i < std::size(kRunOptions); ++i) ticked[kRunOptions[i]] = bits >> i & 1;
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
