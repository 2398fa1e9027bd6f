#pragma once

// The line rules as first described: one change at a time, then scan again
// from the start. Slow (quadratic), so only for short lines; the unit tests
// and the fuzz targets compare the fast code against these.

#include <charconv>
#include <string>
#include <string_view>
#include <vector>

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

inline bool isPunctuationMark(char c) {
  return std::string_view(",.;:!?").find(c) != std::string_view::npos;
}

/// Cuts one space before a mark, then rescans.
inline std::string cutSpacesBeforePunctuationOneAtATime(std::string line) {
  for (std::size_t p = 1; p < line.size(); ++p) {
    if (isPunctuationMark(line[p]) && line[p - 1] == ' ') line.erase(p - 1, 1), p = 0;
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

}  // namespace pellumar::testing
