#include "processing/redundant_spaces.h"

#include "processing/line_stage.h"
#include "processing/staged_copy.h"

namespace pellumar {

namespace {

bool isPunctuation(char c) {
  return c == ',' || c == '.' || c == ';' || c == ':' || c == '!' || c == '?';
}

}  // namespace

// Spaces are copied as they come and taken back when a punctuation mark
// follows them, so the whole run goes at once.
void removeSpacesBeforePunctuation(std::string& line) {
  char* const data = line.data();
  std::size_t write = 0;
  std::size_t spaces = 0;
  for (std::size_t read = 0; read < line.size(); ++read) {
    const char c = data[read];
    if (c == ' ') {
      ++spaces;
    } else {
      if (isPunctuation(c)) write -= spaces;
      spaces = 0;
    }
    data[write++] = c;
  }
  line.resize(write);
}

void trimAndRemoveSpacesAfterHyphens(std::string& line) {
  const std::size_t first = line.find_first_not_of(' ');
  if (first == std::string::npos) {
    line.clear();
    return;
  }
  const std::size_t end = line.find_last_not_of(' ') + 1;
  char* const data = line.data();
  std::size_t write = 0;
  bool afterHyphen = false;
  for (std::size_t read = first; read < end; ++read) {
    const char c = data[read];
    if (c == ' ' && afterHyphen) continue;
    afterHyphen = c == '-';
    data[write++] = c;
  }
  line.resize(write);
}

void deleteRedundantSpaces(RunContext& run) {
  // Each step commits on its own, so a failure in the second still leaves
  // the output holding a finished step.
  LineRuleStage beforePunctuation(&removeSpacesBeforePunctuation);
  rewriteOutput(run, beforePunctuation);
  LineRuleStage afterHyphens(&trimAndRemoveSpacesAfterHyphens);
  rewriteOutput(run, afterHyphens);
}

}  // namespace pellumar
