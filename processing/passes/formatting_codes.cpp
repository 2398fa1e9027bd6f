#include "processing/passes/formatting_codes.h"

#include <algorithm>
#include <cstring>

#include "processing/passes/line_stage.h"

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
  // Where `c` next stands from `from` on, or the line's size. Codes and the
  // text between them are often short: a few bytes are looked at before
  // memchr is asked, so a line packed with codes does not call it per byte.
  auto next = [&](std::size_t from, char c) {
    for (const std::size_t near = std::min(from + 8, size); from < near; ++from) {
      if (data[from] == c) return from;
    }
    const void* found = from < size ? std::memchr(data + from, c, size - from) : nullptr;
    return found ? static_cast<std::size_t>(static_cast<const char*>(found) - data) : size;
  };
  // Moves the text from `read` up to the next "{" from `from` on down to `write`.
  auto keepUpToNextBrace = [&](std::size_t from) {
    const std::size_t stop = next(from, '{');
    if (write != read && stop != read) std::memmove(data + write, data + read, stop - read);
    write += stop - read;
    read = stop;
  };
  while (read < size) {
    // Here data[read] is a "{".
    const std::size_t after = read + 1;
    if (after == size || data[after] == '}' || isDigit(data[after])) {
      keepUpToNextBrace(after);
      continue;
    }
    const std::size_t close = next(after + 1, '}');
    if (close == size) {
      // No "}" after this brace means none after any later one either:
      // the rest of the line stays as it is.
      keepUpToNextBrace(size);
      break;
    }
    read = close + 1;
    if (read < size) keepUpToNextBrace(read);
  }
  line.resize(write);
}

}  // namespace pellumar
