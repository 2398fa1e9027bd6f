#include "processing/passes/blank_subtitles.h"

#include <algorithm>

namespace pellumar {

namespace {

// A whole number of more digits does not read back unchanged.
constexpr std::size_t kMaxIndexDigits = 15;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool isIndexLine(std::string_view line) {
  const bool negative = !line.empty() && line.front() == '-';
  const std::string_view digits = line.substr(negative ? 1 : 0);
  if (digits.empty() || digits.size() > kMaxIndexDigits) return false;
  for (const char c : digits) {
    if (!isDigit(c)) return false;
  }
  // "0" reads back as itself, but "-0" and leading zeros do not.
  if (digits.front() == '0') return digits.size() == 1 && !negative;
  return true;
}

bool frameLineHasText(std::string_view line) {
  // The line has shown two "{" and two "}" just after the later of the second
  // "{" and the second "}"; searching for those skips the frame numbers.
  auto second = [line](char brace) {
    const std::size_t first = line.find(brace);
    return first == std::string_view::npos ? first : line.find(brace, first + 1);
  };
  const std::size_t opening = second('{');
  const std::size_t closing = second('}');
  if (opening == std::string_view::npos || closing == std::string_view::npos) return false;
  std::size_t pos = std::max(opening, closing) + 1;
  // Braces after the frame codes are never text, however many follow.
  for (; pos < line.size(); ++pos) {
    if (line[pos] != '{' && line[pos] != '}') return true;
  }
  return false;
}

std::string overlongBlockMessage(std::string_view firstLine) {
  std::string message = "Cannot buffer more than\r\n13 lines / screen (please check subline ";
  message += firstLine;
  message += " in .srt file).";
  return message;
}

void FrameBlankStage::push(std::string& line, LineSink& out) {
  if (frameLineHasText(line)) {
    out.put(line);
    return;
  }
  entry_ = kSkippedFrameLine;
  entry_ += line;
  log_.skipped(entry_);
}

void BlockBlankStage::push(std::string& line, LineSink& out) {
  if (isIndexLine(line)) {
    decide(out);
    block_[0].swap(line);
    line.clear();
    count_ = 1;
    leading_ = false;
    return;
  }
  if (count_ == kMaxBlockLines) throw OverlongBlock(overlongBlockMessage(block_[0]));
  block_[count_++].swap(line);
  line.clear();
}

void BlockBlankStage::finish(LineSink& out) { decide(out); }

void BlockBlankStage::decide(LineSink& out) {
  // The index line and the line after it (the timing line) never count as text.
  bool hasText = false;
  for (std::size_t i = 2; i < count_ && !hasText; ++i) hasText = !block_[i].empty();
  if (leading_ || hasText) {
    for (std::size_t i = 0; i < count_; ++i) out.put(block_[i]);
  } else if (count_ > 0) {
    entry_ = kSkippedBlock;
    entry_ += block_[0];
    log_.skipped(entry_);
  }
  count_ = 0;
}

}  // namespace pellumar
