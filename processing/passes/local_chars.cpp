#include "processing/passes/local_chars.h"

#include "processing/text/utf8.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <string_view>

#include "processing/text/byte_block.h"

namespace pellumar {

namespace {

std::u32string toCodePoints(std::string_view utf8) {
  std::u32string chars;
  chars.reserve(utf8.size());
  for (std::size_t pos = 0; pos < utf8.size();) chars.push_back(nextCodePoint(utf8, pos));
  return chars;
}

std::size_t utf8Length(char32_t c) { return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4; }

// nextCodePoint, with the one- and two-byte characters of the usual tables
// decoded on the spot.
inline char32_t nextChar(std::string_view text, std::size_t& pos) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  if (lead < 0x80) {
    ++pos;
    return lead;
  }
  if (lead >= 0xC2 && lead < 0xE0 && pos + 1 < text.size()) {
    const auto next = static_cast<unsigned char>(text[pos + 1]);
    if ((next & 0xC0) == 0x80) {
      pos += 2;
      return static_cast<char32_t>((lead & 0x1F) << 6 | (next & 0x3F));
    }
  }
  return nextCodePoint(text, pos);
}

}  // namespace

LocalCharTable::LocalCharTable(const std::vector<TextPair>& entries) {
  for (const TextPair& entry : entries) {
    const std::u32string from = toCodePoints(entry.from);
    // Only a one-character from-text can match; an empty to-text changes nothing.
    if (from.size() != 1 || entry.to.empty()) continue;
    Slot slot = slotOf(from[0]);
    if (slot == 0) {
      toTexts_.emplace_back();
      slot = static_cast<Slot>(toTexts_.size());
      if (from[0] < nearSlots_.size()) {
        nearSlots_[from[0]] = slot;
      } else {
        farSlots_.emplace(from[0], slot);
      }
      if (from[0] < 0x80) asciiHits_ = true;
    }
    toTexts_[slot - 1].push_back(toCodePoints(entry.to));
  }
  for (const auto& texts : toTexts_) {
    for (const std::u32string& to : texts) singles_ = singles_ && to.size() == 1;
    std::string utf8;
    appendUtf8(texts.back()[0], utf8);
    ShortUtf8& to = lastTo_.emplace_back();
    std::memcpy(to.bytes, utf8.data(), utf8.size());
    to.size = static_cast<std::uint8_t>(utf8.size());
  }
}

inline LocalCharTable::Slot LocalCharTable::slotOf(char32_t c) const {
  if (c < nearSlots_.size()) return nearSlots_[c];
  if (farSlots_.empty()) return 0;
  const auto found = farSlots_.find(c);
  return found == farSlots_.end() ? 0 : found->second;
}

void LocalCharTable::apply(std::string& line) const {
  if (toTexts_.empty()) return;
  if (singles_) {
    substituteSingles(line);
  } else {
    substituteInChars(line);
  }
}

// The same result as substituteInChars, without leaving UTF-8: a line with a
// substitution comes out re-encoded character by character, so bytes not in
// shortest form are rewritten too, but only then.
void LocalCharTable::substituteSingles(std::string& line) const {
  const std::string_view text(line);
  const std::size_t size = text.size();

  // Most lines need nothing; find out without writing.
  std::size_t pos = 0;
  std::size_t hit = std::string_view::npos;
  std::size_t firstOdd = std::string_view::npos;
  while (pos < size) {
    if (!asciiHits_) {
      pos = asciiRunEnd(text, pos);
      if (pos == size) break;
    }
    const std::size_t start = pos;
    const char32_t c = nextChar(text, pos);
    if (slotOf(c) != 0) {
      hit = start;
      break;
    }
    if (pos - start != utf8Length(c) && firstOdd == std::string_view::npos) firstOdd = start;
  }
  if (hit == std::string_view::npos) return;

  // From there on the new text is written behind the old, in the line's own
  // storage, and moved down at the end: where a to-text is longer than its
  // character the text grows, and plain ASCII can be copied a block at a
  // time. No character becomes more than four bytes.
  const std::size_t from = std::min(hit, firstOdd);
  line.resize(size + 4 * (size - from) + kByteBlockSize);
  const std::string_view old(line.data(), size);
  char* const outStart = line.data() + size;
  char* out = outStart;
  for (pos = from; pos < size;) {
    if (!asciiHits_) {
      // A block may reach past the old text into the new; it is read whole
      // before it is written, and only its bytes of the old text count.
      const UnsignedByteBlock block =
          loadUnsignedBlock(reinterpret_cast<const unsigned char*>(old.data() + pos));
      std::memcpy(out, &block, kByteBlockSize);
      const BlockMatches wide(block >= 0x80);
      const std::size_t ascii = std::min(wide.any() ? wide.first() : kByteBlockSize, size - pos);
      pos += ascii;
      out += ascii;
      if (pos == size) break;
      if (ascii == kByteBlockSize) continue;
    }
    // Four bytes are copied whatever the character's length: there is room.
    const std::size_t start = pos;
    const char32_t c = nextChar(old, pos);
    if (const Slot slot = slotOf(c)) {
      const ShortUtf8& to = lastTo_[slot - 1];
      std::memcpy(out, to.bytes, 4);
      out += to.size;
    } else if (pos - start == utf8Length(c)) {
      // Through a register: near the end the four bytes reach into `out`.
      char bytes[4];
      std::memcpy(bytes, old.data() + start, 4);
      std::memcpy(out, bytes, 4);
      out += pos - start;
    } else {
      std::string shortest;
      appendUtf8(c, shortest);
      std::memcpy(out, shortest.data(), shortest.size());
      out += shortest.size();
    }
  }
  const auto written = static_cast<std::size_t>(out - outStart);
  std::memmove(line.data() + from, outStart, written);
  line.resize(from + written);
}

void LocalCharTable::substituteInChars(std::string& line) const {
  // Most lines need nothing; find out without decoding them.
  bool hit = false;
  for (std::size_t pos = 0; pos < line.size() && !hit;) {
    const auto byte = static_cast<unsigned char>(line[pos]);
    if (byte < 0x80) {
      hit = nearSlots_[byte] != 0;
      ++pos;
    } else {
      hit = slotOf(nextCodePoint(line, pos)) != 0;
    }
  }
  if (!hit) return;

  std::u32string chars = toCodePoints(line);
  const std::size_t length = chars.size();
  for (std::size_t i = 0; i < length; ++i) {
    // Every entry is compared with the character as it stood before this
    // position's first substitution; what a to-text writes further on is
    // examined there in its turn.
    const Slot slot = slotOf(chars[i]);
    if (slot == 0) continue;
    for (const std::u32string& to : toTexts_[slot - 1]) {
      const std::size_t count = std::min(to.size(), length - i);
      std::copy_n(to.begin(), count, chars.begin() + static_cast<std::ptrdiff_t>(i));
    }
  }
  line.clear();
  for (char32_t c : chars) appendUtf8(c, line);
}

}  // namespace pellumar
