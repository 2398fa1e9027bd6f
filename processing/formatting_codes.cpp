#include "processing/formatting_codes.h"

#include <cstring>

#include "processing/line_stage.h"
#include "processing/staged_copy.h"

namespace pellumar {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

// A cut never makes an earlier brace start a code: any qualifying "{" before
// the cut would itself have reached the "}" that ended it, and the character
// just before the cut is no "{". So after a cut the scan goes on where it is,
// which is what restarting from the first character would find too.
void stripFormattingCodes(std::string& line) {
  // Most lines hold no brace at all.
  std::size_t read = line.find('{');
  if (read == std::string::npos) return;

  const std::size_t size = line.size();
  char* const data = line.data();
  std::size_t write = read;
  while (read < size) {
    const char c = data[read];
    const std::size_t next = read + 1;
    if (c != '{' || next == size || data[next] == '}' || isDigit(data[next])) {
      data[write++] = c;
      read = next;
      continue;
    }
    std::size_t close = next + 1;
    while (close < size && data[close] != '}') ++close;
    if (close == size) {
      // No "}" after this brace means none after any later one either:
      // the rest of the line stays as it is.
      std::memmove(data + write, data + read, size - read);
      write += size - read;
      break;
    }
    read = close + 1;
  }
  line.resize(write);
}

void removeFormattingCodes(RunContext& run) {
  LineRuleStage stage(&stripFormattingCodes);
  rewriteOutput(run, stage);
}

}  // namespace pellumar
