#include "processing/local_chars.h"

#include <algorithm>

#include "processing/file_ops.h"
#include "processing/line_stage.h"
#include "processing/staged_copy.h"
#include "processing/system_calls.h"

namespace pellumar {

namespace {

std::u32string toCodePoints(std::string_view utf8) {
  std::u32string chars;
  chars.reserve(utf8.size());
  for (std::size_t pos = 0; pos < utf8.size();) chars.push_back(nextCodePoint(utf8, pos));
  return chars;
}

}  // namespace

LocalCharTable::LocalCharTable(const std::vector<TextPair>& entries) {
  for (const TextPair& entry : entries) {
    const std::u32string from = toCodePoints(entry.from);
    // Only a one-character from-text can match; an empty to-text changes nothing.
    if (from.size() != 1 || entry.to.empty()) continue;
    entries_[from[0]].push_back(toCodePoints(entry.to));
    if (from[0] < 128) asciiHit_[from[0]] = true;
  }
}

void LocalCharTable::apply(std::string& line) const {
  if (entries_.empty()) return;
  // Most lines need nothing; find out without decoding them.
  bool hit = false;
  for (std::size_t pos = 0; pos < line.size() && !hit;) {
    const auto byte = static_cast<unsigned char>(line[pos]);
    if (byte < 0x80) {
      hit = asciiHit_[byte];
      ++pos;
    } else {
      hit = entries_.count(nextCodePoint(line, pos)) != 0;
    }
  }
  if (!hit) return;

  std::u32string chars = toCodePoints(line);
  const std::size_t length = chars.size();
  for (std::size_t i = 0; i < length; ++i) {
    // Every entry is compared with the character as it stood before this
    // position's first substitution; what a to-text writes further on is
    // examined there in its turn.
    auto found = entries_.find(chars[i]);
    if (found == entries_.end()) continue;
    for (const std::u32string& to : found->second) {
      const std::size_t count = std::min(to.size(), length - i);
      std::copy_n(to.begin(), count, chars.begin() + static_cast<std::ptrdiff_t>(i));
    }
  }
  line.clear();
  for (char32_t c : chars) appendUtf8(c, line);
}

void substituteLocalChars(RunContext& run) {
  std::optional<LocalCharTable> table;
  if (run.window.isTicked(Option::SubstituteLocalChars)) table.emplace(run.settings.localChars);
  auto rule = [&table](std::string& line) {
    if (table) table->apply(line);
  };
  LineRuleStage<decltype(rule)> stage(rule);
  try {
    copyThroughStage(run, run.paths.inputPath, stage);
  } catch (...) {
    // When the first pass fails there is no output at all, not even one that
    // an earlier run left, which would pass for this run's result.
    if (fileExists(run.paths.outputPath)) systemCalls().unlink(run.paths.outputPath.c_str());
    throw;
  }
}

}  // namespace pellumar
