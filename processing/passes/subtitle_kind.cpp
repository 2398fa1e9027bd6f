#include "processing/passes/subtitle_kind.h"

#include <cstring>
#include <memory>

#include "processing/files/file_io.h"
#include "processing/files/run_failure.h"
#include "processing/text/line_reader.h"

namespace pellumar {

namespace {

// Only "more than 3" matters, so neither count needs to go further.
constexpr int kLinesNeeded = 4;

}  // namespace

bool isFrameLine(std::string_view line) {
  int opening = 0;
  int closing = 0;
  for (const char c : line) {
    if (c == '{') {
      ++opening;
    } else if (c == '}') {
      ++closing;
    } else {
      continue;
    }
    if (opening >= 2 && closing >= 2) return true;
  }
  return false;
}

bool isArrowLine(std::string_view line) { return line.find("-->") != std::string_view::npos; }

namespace {

bool isTerminator(char c) { return c == '\r' || c == '\n'; }

std::size_t lineEnd(std::string_view text, std::size_t pos) {
  while (pos < text.size() && !isTerminator(text[pos])) ++pos;
  return pos;
}

// The counts over whole lines of UTF-8 text, taken as the file holds them:
// only the few lines with a "{" or an arrow are looked at, so a SubRip file,
// whose frame lines never reach four, is still gone through at memchr speed.
class KindCounter {
 public:
  bool decided() const { return frameLines_ >= kLinesNeeded && arrowLines_ >= kLinesNeeded; }
  SubtitleKind kind() const { return {frameLines_ >= kLinesNeeded, arrowLines_ >= kLinesNeeded}; }

  void count(std::string_view lines) {
    for (std::size_t pos = 0; frameLines_ < kLinesNeeded;) {
      pos = lines.find('{', pos);
      if (pos == std::string_view::npos) break;
      std::size_t start = pos;
      while (start > 0 && !isTerminator(lines[start - 1])) --start;
      pos = lineEnd(lines, pos);
      if (isFrameLine(lines.substr(start, pos - start))) ++frameLines_;
    }
    for (std::size_t pos = 0; arrowLines_ < kLinesNeeded;) {
      pos = lines.find("-->", pos);
      if (pos == std::string_view::npos) break;
      ++arrowLines_;
      pos = lineEnd(lines, pos);
    }
  }

 private:
  int frameLines_ = 0;
  int arrowLines_ = 0;
};

// UTF-8 text is the file's bytes, so no line needs decoding or copying.
SubtitleKind detectInUtf8(const std::string& path) {
  FileReader file(path);
  KindCounter counter;
  std::size_t capacity = FileReader::kChunkSize;
  auto buffer = std::make_unique_for_overwrite<char[]>(capacity);
  std::size_t held = 0;  // the start of a line whose end is not read yet
  while (!counter.decided()) {
    // Only a line longer than the buffer makes it grow.
    if (held == capacity) {
      auto larger = std::make_unique_for_overwrite<char[]>(2 * capacity);
      std::memcpy(larger.get(), buffer.get(), held);
      buffer = std::move(larger);
      capacity *= 2;
    }
    const std::size_t got = file.read(buffer.get() + held, capacity - held);
    if (got == 0) {
      counter.count(std::string_view(buffer.get(), held));
      break;
    }
    const std::size_t size = held + got;
    // Count whole lines only; the held part has no terminator.
    std::size_t cut = size;
    while (cut > held && !isTerminator(buffer[cut - 1])) --cut;
    if (cut == held) {
      held = size;
      continue;
    }
    counter.count(std::string_view(buffer.get(), cut));
    std::memmove(buffer.get(), buffer.get() + cut, size - cut);
    held = size - cut;
  }
  return counter.kind();
}

}  // namespace

SubtitleKind detectSubtitleKind(const std::string& path, const TextEncoding& encoding,
                                const std::string* contents) {
  if (encoding.form == TextEncoding::Form::Utf8) {
    if (!contents) return detectInUtf8(path);
    KindCounter counter;
    counter.count(*contents);
    return counter.kind();
  }
  LineReader reader(path, encoding, contents);
  int frameLines = 0;
  int arrowLines = 0;
  std::string line;
  while ((frameLines < kLinesNeeded || arrowLines < kLinesNeeded) && reader.next(line)) {
    if (frameLines < kLinesNeeded && isFrameLine(line)) ++frameLines;
    if (arrowLines < kLinesNeeded && isArrowLine(line)) ++arrowLines;
  }
  return {frameLines >= kLinesNeeded, arrowLines >= kLinesNeeded};
}

std::string unknownKindMessage(const std::string& optionLabel) {
  return "Unknown subtitle type.\r\nCannot process for " + optionLabel + " option.";
}

}  // namespace pellumar
