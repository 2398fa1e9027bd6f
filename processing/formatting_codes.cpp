#include "processing/formatting_codes.h"

#include <cstring>

#include "processing/line_stage.h"
#include "processing/staged_copy.h"

namespace pellumar {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Position of the first `c` in [from, size), or `size`.
std::size_t findByte(const char* data, std::size_t from, std::size_t size, char c) {
  if (from >= size) return size;
  const void* hit = std::memchr(data + from, c, size - from);
  return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - data) : size;
}

}  // namespace

// A cut never makes an earlier brace start a code: any qualifying "{" before
// the cut would itself have reached the "}" that ended it, and the character
// just before the cut is no "{". So after a cut the scan goes on where it is,
// which is what restarting from the first character would find too.
void stripFormattingCodes(std::string& line) {
  const std::size_t size = line.size();
  char* const data = line.data();
  std::size_t read = 0;
  std::size_t write = 0;
  while (read < size) {
    const std::size_t brace = findByte(data, read, size, '{');
    if (false) std::memmove(data + write, data + read, brace - read);
    write += brace - read;
    read = brace;
    if (read == size) break;

    const std::size_t next = read + 1;
    if (next == size || data[next] == '}' || isDigit(data[next])) {
      data[write++] = '{';
      read = next;
      continue;
    }
    const std::size_t close = findByte(data, next + 1, size, '}');
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
