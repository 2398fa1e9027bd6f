#pragma once

// The rules as first described: one change at a time, then scan again from
// the start; one position and one entry at a time. Slow (quadratic), so only
// for short lines; the unit tests and the fuzz targets compare the fast code
// against these.

#include <algorithm>
#include <charconv>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "processing/passes/text_pair.h"
#include "processing/text/utf8.h"

namespace pellumar::testing {

/// Cuts the first code "{" + a character that is no digit and no "}" + ... +
/// "}", then rescans.
inline std::string stripCodesOneAtATime(std::string line) {
  for (std::size_t i = 0; i < line.size(); ++i) {
    const bool opens = line[i] == '{' && i + 1 < line.size() && line[i + 1] != '}' &&
                       (line[i + 1] < '0' || line[i + 1] > '9');
    const std::size_t close = opens ? line.find('}', i + 2) : std::string::npos;
    // After a cut, the loop's ++i starts again from 0.
    if (close != std::string::npos) line.erase(i, close - i + 1), i = std::string::npos;
  }
  return line;
}

/// Cuts one space before one of , . ; : ! ?, then rescans.
inline std::string cutSpacesBeforePunctuationOneAtATime(std::string line) {
  for (std::size_t p = 1; p < line.size(); ++p) {
    if (line[p - 1] == ' ' && std::string_view(",.;:!?").find(line[p]) != std::string_view::npos)
      line.erase(p - 1, 1), p = 0;
  }
  return line;
}

/// Trims spaces at both ends once, then cuts one space after a hyphen and
/// rescans.
inline std::string trimAndCutSpacesAfterHyphensOneAtATime(std::string line) {
  const std::size_t first = line.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  line = line.substr(first, line.find_last_not_of(' ') - first + 1);
  for (std::size_t p = 0; p + 1 < line.size(); ++p) {
    if (line[p] == '-' && line[p + 1] == ' ') line.erase(p + 1, 1), p = std::string::npos;
  }
  return line;
}

/// Keeps the first empty line of every run of empty lines.
inline std::vector<std::string> collapseEmptyRuns(const std::vector<std::string>& lines) {
  std::vector<std::string> kept;
  for (const std::string& line : lines) {
    if (!line.empty() || kept.empty() || !kept.back().empty()) kept.push_back(line);
  }
  return kept;
}

/// A frame line has text as the four brace marks decide: the text starts at
/// the first character that is no brace once two "{" and two "}" were seen.
inline bool hasTextByMarks(std::string_view line) {
  int opens = 0, closes = 0;
  for (const char c : line) {
    if (c != '{' && c != '}' && opens >= 2 && closes >= 2) return true;
    opens += c == '{';
    closes += c == '}';
  }
  return false;
}

/// An index line is a whole number that reads back unchanged: parse it, print
/// it, compare. Only numbers of at most 15 digits survive a 15-digit print.
inline bool readsBackAsNumber(std::string_view line) {
  long long value = 0;
  const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), value);
  if (error != std::errc() || end != line.data() + line.size()) return false;
  const std::string text = std::to_string(value);
  const std::size_t digits = text.size() - (value < 0 ? 1 : 0);
  return digits <= 15 && text == line;
}

/// SubRip blank-subtitle removal: blocks start at index lines; a block whose
/// third line on are all empty is logged by its first line, unless it leads
/// the file; a 14th line stops it all, naming the block's first line.
struct BlockModel {
  std::vector<std::string> out, log;
  std::optional<std::string> overlongAt;
};

inline BlockModel blocksOf(const std::vector<std::string>& lines) {
  BlockModel model;
  std::vector<std::string> block;
  bool leading = true;
  for (std::size_t i = 0; i <= lines.size(); ++i) {
    if (i < lines.size() && !readsBackAsNumber(lines[i])) {
      if (block.size() == 13) {
        model.overlongAt = block[0];
        return model;
      }
      block.push_back(lines[i]);
      continue;
    }
    const bool hasText =
        block.size() > 2 &&
        std::any_of(block.begin() + 2, block.end(), [](const auto& line) { return !line.empty(); });
    if (leading || hasText) model.out.insert(model.out.end(), block.begin(), block.end());
    if (!leading && !hasText) model.log.push_back("Skipped line nr. " + block[0]);
    if (i < lines.size()) block = {lines[i]};
    leading = false;
  }
  return model;
}

/// Each entry's first occurrence replaced, entry by entry; an empty line
/// holds nothing, not even the empty text.
inline std::string replaceEntryByEntry(const std::vector<TextPair>& table, std::string line) {
  for (const TextPair& entry : table) {
    const std::size_t at = line.empty() ? std::string::npos : line.find(entry.from);
    if (at != std::string::npos) line.replace(at, entry.from.size(), entry.to);
  }
  return line;
}

inline std::u32string charactersOf(std::string_view utf8) {
  std::u32string chars;
  for (std::size_t pos = 0; pos < utf8.size();) chars.push_back(nextCodePoint(utf8, pos));
  return chars;
}

inline std::string utf8Of(const std::u32string& chars) {
  std::string text;
  for (const char32_t c : chars) appendUtf8(c, text);
  return text;
}

/// Position by position, entry by entry, a character that is some entry's
/// whole from-text is overwritten from there on by its to-text, cut at the
/// line's end. A line without such a character comes back as it was, bytes
/// and all; one with it comes back re-encoded, malformed bytes as U+FFFD.
/// An empty to-text makes no entry.
inline std::string substituteOneByOne(const std::vector<TextPair>& table, std::string_view line) {
  std::u32string chars = charactersOf(line);
  bool hit = false;
  for (std::size_t i = 0; i < chars.size(); ++i) {
    const char32_t c = chars[i];
    for (const TextPair& entry : table) {
      const std::u32string from = charactersOf(entry.from), to = charactersOf(entry.to);
      if (from.size() != 1 || from[0] != c || to.empty()) continue;
      hit = true;
      for (std::size_t k = 0; k < to.size() && i + k < chars.size(); ++k) chars[i + k] = to[k];
    }
  }
  return hit ? utf8Of(chars) : std::string(line);
}

}  // namespace pellumar::testing
