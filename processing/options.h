#pragma once

namespace pellumar {

/// The options of the window, in the user's words. The window's design names
/// its boxes Check1 … Check7; `checkBoxNumber` is the one place that pairs them.
enum class Option {
  RemoveFormattingCodes,  // Check1 "Remove font styles and colours"
  DeleteRedundantSpaces,  // Check2 "Delete redundant spaces"
  SubstituteLocalChars,   // Check3 "Substitute localized chararacters"
  DeleteBlankSubtitles,   // Check4 "Delete blank lines"
  HelpMode,               // Check5 "give me help"
  ReplaceStrings,         // Check6 "Search and Replace strings"
  FixSrtBlankLines,       // Check7 "Fix SRT blank lines"
};

constexpr int kOptionCount = 7;

/// The N of the window's CheckN box for an option.
constexpr int checkBoxNumber(Option option) { return static_cast<int>(option) + 1; }
constexpr Option optionOfCheckBox(int number) { return static_cast<Option>(number - 1); }

/// The box's caption as the window shows it.
constexpr const char* optionCaption(Option option) {
  switch (option) {
    case Option::RemoveFormattingCodes:
      return "Remove font styles and colours";
    case Option::DeleteRedundantSpaces:
      return "Delete redundant spaces";
    case Option::SubstituteLocalChars:
      return "Substitute localized chararacters";
    case Option::DeleteBlankSubtitles:
      return "Delete blank lines";
    case Option::HelpMode:
      return "give me help";
    case Option::ReplaceStrings:
      return "Search and Replace strings";
    case Option::FixSrtBlankLines:
      return "Fix SRT blank lines";
  }
  return "";
}

}  // namespace pellumar
