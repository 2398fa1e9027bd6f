// Kind detection on any text: the line tests count braces and find the arrow
// as written, and the file's kind follows from more than three such lines.

#include "processing/passes/subtitle_kind.h"
#include "fuzz/fuzz_support.h"
#include "processing/text/code_page.h"
#include "processing/text/line_reader.h"
#include "processing/files/run_failure.h"

namespace pellumar::fuzz::subtitle_kind {

constexpr std::size_t kMoreThan = 3;

bool twoOfEachBrace(std::string_view line) {
  std::size_t opening = 0, closing = 0;
  for (const char c : line) {
    opening += c == '{';
    closing += c == '}';
  }
  return opening >= 2 && closing >= 2;
}

bool holdsArrow(std::string_view line) {
  for (std::size_t i = 0; i + 2 < line.size(); ++i) {
    if (line[i] == '-' && line[i + 1] == '-' && line[i + 2] == '>') return true;
  }
  return false;
}

int run(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (const std::string& line : splitAtLineFeeds(text)) {
    FUZZ_CHECK(isFrameLine(line) == twoOfEachBrace(line));
    FUZZ_CHECK(isArrowLine(line) == holdsArrow(line));
  }

  const std::string path = (scratchFolder() / "kind.txt").string();
  writeFile(path, text);
  const TextEncoding encoding = detectFileEncoding(path, CodePage::defaultPage());
  std::size_t frameLines = 0, arrowLines = 0;
  try {
    LineReader reader(path, encoding);
    std::string line;
    while (reader.next(line)) {
      frameLines += twoOfEachBrace(line);
      arrowLines += holdsArrow(line);
    }
  } catch (const RunFailure&) {
    return 0;  // an odd UTF-16 file; detection may or may not reach its end
  }
  const SubtitleKind kind = detectSubtitleKind(path, encoding);
  FUZZ_CHECK(kind.isMicroDvd == (frameLines > kMoreThan));
  FUZZ_CHECK(kind.isSubRip == (arrowLines > kMoreThan));
  return 0;
}

}  // namespace pellumar::fuzz::subtitle_kind

PELLUMAR_FUZZ_TARGET(subtitle_kind)
