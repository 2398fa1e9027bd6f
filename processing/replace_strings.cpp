#include "processing/replace_strings.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string_view>

#include "processing/byte_block.h"
#include "processing/line_stage.h"
#include "processing/staged_copy.h"

namespace pellumar {

namespace {

// std::string::find, for a from-text of two bytes or more: candidates for its
// first two bytes are found sixteen positions at a time, where find would
// stop at every space for a from-text that starts with one.
std::size_t findText(std::string_view text, std::string_view wanted) {
  if (wanted.size() < 2 || wanted.size() > text.size()) return text.find(wanted);
  const std::size_t lastStart = text.size() - wanted.size();
  for (std::size_t pos = 0;; ++pos) {
    pos = findBytePair(text, wanted[0], wanted[1], pos);
    if (pos == std::string_view::npos || pos > lastStart) return std::string_view::npos;
    if (std::memcmp(text.data() + pos + 2, wanted.data() + 2, wanted.size() - 2) == 0) return pos;
  }
}

}  // namespace

ReplacementTable::ReplacementTable(const std::vector<TextPair>& entries) : entries_(entries) {
  for (const TextPair& entry : entries_) {
    const std::string_view from(entry.from);
    if (from.empty()) {
      emptyEntry_ = true;
      continue;
    }
    startsEntry_[static_cast<unsigned char>(from[0])] = true;
    if (from.size() == 1) {
      onlyBytes_.push_back(ByteBlock{} + from[0]);
    } else {
      firstBytes_.push_back(ByteBlock{} + from[0]);
      secondBytes_.push_back(ByteBlock{} + from[1]);
    }
  }
}

// False when no from-text can occur in `line`: it holds neither the first two
// bytes of any from-text nor a one-byte from-text. Then no entry changes the
// line, so none after it finds more. Most lines are settled here in one look
// at their bytes rather than one search per entry.
bool ReplacementTable::mayOccur(std::string_view line) const {
  if (emptyEntry_) return true;
  const char* const data = line.data();
  if (line.size() <= kByteBlockSize) {
    // Short lines such as index lines: no byte starts a from-text.
    for (const char c : line) {
      if (startsEntry_[static_cast<unsigned char>(c)]) return true;
    }
    return false;
  }
  // Each block also reads the byte after it; the last may overlap the one before.
  const std::size_t lastBlock = line.size() - kByteBlockSize - 1;
  for (std::size_t pos = 0;; pos += kByteBlockSize) {
    const std::size_t at = std::min(pos, lastBlock);
    const ByteBlock here = loadBlock(data + at);
    const ByteBlock next = loadBlock(data + at + 1);
    ByteBlock found{};
    for (std::size_t i = 0; i < firstBytes_.size(); ++i) {
      found |= (here == firstBytes_[i]) & (next == secondBytes_[i]);
    }
    for (const ByteBlock& only : onlyBytes_) found |= (here == only) | (next == only);
    if (BlockMatches(found).any()) return true;
    if (at == lastBlock) return false;
  }
}

void ReplacementTable::apply(std::string& line) const {
  // An empty line contains nothing, not even the empty text.
  if (line.empty() || !mayOccur(line)) return;
  for (const TextPair& entry : entries_) {
    if (line.empty()) continue;
    const std::size_t found = findText(line, entry.from);
    if (found == std::string::npos) continue;
    line.replace(found, entry.from.size(), entry.to);
  }
}

void replaceFirstOccurrences(const std::vector<TextPair>& replacements, std::string& line) {
  ReplacementTable(replacements).apply(line);
}

}  // namespace pellumar
