#include "ui/help_texts.h"

namespace pellumar {

const char* helpText(Option option) {
  switch (option) {
    case Option::RemoveFormattingCodes:
      return "Remove formatting codes (ex.{C:$FF0000};{Y:i,u} )";
    case Option::DeleteRedundantSpaces:
      return "Deletes all nonrelevant spaces (i.e. spaces preceding .,;: or spaces after-)";
    case Option::SubstituteLocalChars:
      return "Change locale char. found in subtitle files as stated in \"lexmend.ini\" on "
             "\"[Local_char]\" section";
    case Option::DeleteBlankSubtitles:
      return "Remove blank lines (removes blank subtitling lines, incl. it's frame index)";
    case Option::HelpMode:
      return "Get ToolTip help";
    case Option::ReplaceStrings:
      return "Change strings as defined in \"lexmend.ini\" on \"[RStrings]\" section";
    case Option::FixSrtBlankLines:
      return "Fix SRT blank lines (removes blank subtitling lines from *.srt files, but leaves "
             "frame index)";
  }
  return "";
}

std::string farewellMessage(const std::string& contactAddress) {
  return "If you find my little tool useful, just send an\r\n   \"thanksPL\" email to \"" +
         contactAddress + "\"";
}

}  // namespace pellumar
