#include "processing/passes/redundant_spaces.h"

#include <algorithm>
#include <cstring>

#include "processing/passes/line_stage.h"
#include "processing/text/byte_block.h"

namespace pellumar {

namespace {

bool isPunctuation(char c) {
  return c == ',' || c == '.' || c == ';' || c == ':' || c == '!' || c == '?';
}

// The punctuation marks right after a space in the block at `p`; p[-1] must
// be readable.
BlockMatches spacesBeforePunctuation(const char* p) {
  const ByteBlock c = loadBlock(p);
  // , and . differ in one bit, as do : and ;
  const ByteBlock mark = ((c | 2) == '.') | ((c | 1) == ';') | (c == '!') | (c == '?');
  return BlockMatches((loadBlock(p - 1) == ' ') & mark);
}

// Where the first punctuation mark after a space stands from `pos` (at
// least 1) on, or the line's size.
std::size_t nextSpaceBeforePunctuation(const std::string& line, std::size_t pos) {
  const char* const data = line.data();
  const std::size_t size = line.size();
  if (size > kByteBlockSize) {
    const std::size_t lastBlock = size - kByteBlockSize;
    for (; pos < lastBlock; pos += kByteBlockSize) {
      const BlockMatches marks = spacesBeforePunctuation(data + pos);
      if (marks.any()) return pos + marks.first();
    }
    // The last block overlaps the one before; marks seen there are skipped.
    BlockMatches marks = spacesBeforePunctuation(data + lastBlock);
    if (pos > lastBlock) marks.dropBefore(pos - lastBlock);
    return marks.any() ? lastBlock + marks.first() : size;
  }
  for (; pos < size; ++pos) {
    if (isPunctuation(data[pos]) && data[pos - 1] == ' ') return pos;
  }
  return size;
}

// memmove, without a call for the short pieces between marks that lines
// packed with them have.
void moveDown(char* to, const char* from, std::size_t count) {
  if (count > kByteBlockSize) {
    std::memmove(to, from, count);
    return;
  }
  for (std::size_t i = 0; i < count; ++i) to[i] = from[i];
}

}  // namespace

// Each punctuation mark after a space takes the whole run of spaces before
// it away, so the text between those runs moves down in pieces.
void removeSpacesBeforePunctuation(std::string& line) {
  const std::size_t size = line.size();
  char* const data = line.data();
  std::size_t read = 0;
  std::size_t write = 0;
  for (std::size_t mark = nextSpaceBeforePunctuation(line, 1); mark < size;
       mark = nextSpaceBeforePunctuation(line, mark + 1)) {
    // The run cannot reach back past `read`, which is a mark or the start.
    std::size_t runStart = mark - 1;
    while (runStart > read && data[runStart - 1] == ' ') --runStart;
    moveDown(data + write, data + read, runStart - read);
    write += runStart - read;
    read = mark;
  }
  if (read == 0) return;
  std::memmove(data + write, data + read, size - read);
  line.resize(write + size - read);
}

void trimAndRemoveSpacesAfterHyphens(std::string& line) {
  // Lines seldom start or end with a space.
  const bool spaceAtEnds = !line.empty() && (line.front() == ' ' || line.back() == ' ');
  const std::size_t first = spaceAtEnds ? line.find_first_not_of(' ') : 0;
  if (first == std::string::npos || line.empty()) {
    line.clear();
    return;
  }
  const std::size_t end = spaceAtEnds ? line.find_last_not_of(' ') + 1 : line.size();
  char* const data = line.data();
  const std::string_view trimmed(data, end);
  // Between one hyphen that a space follows and the next there is only text
  // to move down. Timing lines hold hyphens, but none with a space after it.
  std::size_t read = first;
  std::size_t write = 0;
  for (;;) {
    std::size_t hyphen = findBytePair(trimmed, '-', ' ', read);
    if (hyphen == std::string_view::npos) hyphen = end;
    if (write != read) moveDown(data + write, data + read, hyphen - read);
    write += hyphen - read;
    if (hyphen == end) break;
    data[write++] = '-';
    // The spaces after it go, up to the last character, which is no space.
    read = hyphen + 1;
    while (data[read] == ' ') ++read;
  }
  line.resize(write);
}

}  // namespace pellumar
