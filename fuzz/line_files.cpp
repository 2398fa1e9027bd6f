// Reading a file of any bytes: the encoding found is the one its first bytes
// and the UTF-8 table of the Unicode standard say, the lines are a plain
// split of the decoded text, the lines written back in the same encoding read
// back the same, and the file's kind follows from more than three lines of
// a kind. The first byte's high bits set make a file of a quarter megabyte
// whose first piece read ends where the second byte says (rarely, as it is
// slow to go through).

#include "fuzz/fuzz_support.h"
#include "processing/files/run_failure.h"
#include "processing/passes/subtitle_kind.h"
#include "processing/text/line_reader.h"
#include "processing/text/line_writer.h"
#include "tests/support/rule_models.h"

namespace pellumar::fuzz::line_files {

using Form = TextEncoding::Form;

// Well-formed UTF-8 as the Unicode standard's table of byte sequences has it.
bool wellFormedUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i++]);
    if (lead < 0x80) continue;
    const int more = lead >= 0xC2 && lead <= 0xDF   ? 1
                     : lead >= 0xE0 && lead <= 0xEF ? 2
                     : lead >= 0xF0 && lead <= 0xF4 ? 3
                                                    : 0;
    if (more == 0) return false;
    unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
    unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
    for (int k = 0; k < more; ++k, low = 0x80, high = 0xBF) {
      if (i == text.size()) return false;
      const auto next = static_cast<unsigned char>(text[i++]);
      if (next < low || next > high) return false;
    }
  }
  return true;
}

// The size of a UTF-16 or UTF-32 unit by the byte-order mark, or 0.
std::size_t unitOf(std::string_view bytes) {
  using namespace std::string_view_literals;
  if (bytes.starts_with("\xFF\xFE\0\0"sv) || bytes.starts_with("\0\0\xFE\xFF"sv)) return 4;
  return bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF") ? 2 : 0;
}

// The UTF-16 or UTF-32 text as the reader gives it: pairs joined, lone
// surrogates kept, values past U+10FFFF as U+FFFD.
std::string decodeUnits(std::string_view bytes, std::size_t unit, bool bigEndian) {
  std::u32string units;
  for (std::size_t i = unit; i + unit <= bytes.size(); i += unit) {
    char32_t c = 0;
    for (std::size_t k = 0; k < unit; ++k)
      c = c << 8 | static_cast<unsigned char>(bytes[i + (bigEndian ? k : unit - 1 - k)]);
    const bool low = c >= 0xDC00 && c <= 0xDFFF,
               high = !units.empty() && units.back() >= 0xD800 && units.back() <= 0xDBFF;
    if (unit == 2 && low && high) {
      units.back() = 0x10000 + ((units.back() - 0xD800) << 10) + (c - 0xDC00);
    } else {
      units += c <= 0x10FFFF ? c : 0xFFFD;
    }
  }
  return testing::utf8Of(units);
}

// One long line of "p" bytes in front of the data (after its byte-order
// mark, so the encoding stays; in UTF-16 they make U+7070), so that the
// reader's first piece ends `shift` bytes into the data.
std::string withPieceEndInside(std::string_view data, std::size_t shift) {
  const std::size_t unit = std::max<std::size_t>(unitOf(data), 1);
  const std::size_t head = unit > 1 ? unit : data.starts_with("\xEF\xBB\xBF") ? 3 : 0;
  std::string bytes(data.substr(0, head));
  bytes.append((FileReader::kChunkSize - head - shift) / unit * unit, 'p');
  return bytes += data.substr(head);
}

// CR LF, a lone CR and a lone LF each end a line; no empty line after the last end.
std::vector<std::string> plainSplit(std::string_view text) {
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = std::min(text.find_first_of("\r\n", start), text.size());
    lines.emplace_back(text.substr(start, end - start));
    start = end + (text.substr(end, 2) == "\r\n" ? 2 : 1);
  }
  return lines;
}

std::vector<std::string> readLines(const std::string& path, const TextEncoding& encoding) {
  LineReader reader(path, encoding);
  std::vector<std::string> lines;
  for (std::string line; reader.next(line);) {
    lines.push_back(line);
    FUZZ_CHECK(reader.lineNumber() == lines.size());
  }
  std::string line;
  FUZZ_CHECK(!reader.next(line));  // the end stays the end
  return lines;
}

int run(const std::uint8_t* data, std::size_t size) {
  ByteReader input(data, size);
  const bool padded = (input.byte() & 0xF0) == 0xF0;
  const std::size_t shift = padded ? input.byte() : 0;
  const std::string bytes =
      padded ? withPieceEndInside(input.rest, shift) : std::string(input.rest);
  const std::string path = (scratchFolder() / "lines.txt").string();
  const std::string copy = (scratchFolder() / "lines-copy.txt").string();
  testing::writeBytes(path, bytes);

  const TextEncoding encoding = detectFileEncoding(path, CodePage::defaultPage());
  const std::size_t unit = unitOf(bytes);
  const bool bigEndian = unit > 0 && bytes[0] != '\xFF';
  FUZZ_CHECK(isValidUtf8(bytes) == wellFormedUtf8(bytes));
  FUZZ_CHECK(encoding.form == (unit > 0 ? Form(int(Form::Utf16Le) + (unit / 2 - 1) * 2 + bigEndian)
                               : wellFormedUtf8(bytes) ? Form::Utf8
                                                       : Form::Legacy));
  std::string text = unit > 0 ? decodeUnits(bytes, unit, bigEndian) : "";
  if (encoding.form == Form::Legacy) encoding.codePage->decode(bytes, text);
  if (encoding.form == Form::Utf8) {
    FUZZ_CHECK(encoding.bom == bytes.starts_with("\xEF\xBB\xBF"));
    text = bytes.substr(encoding.bom ? 3 : 0);
  }

  std::vector<std::string> lines;
  try {
    lines = readLines(path, encoding);
  } catch (const RunFailure&) {
    FUZZ_CHECK(unit > 0 && bytes.size() % unit != 0);  // the one file that cannot be read
    return 0;
  }
  FUZZ_CHECK(bytes.size() % std::max<std::size_t>(unit, 1) == 0);
  FUZZ_CHECK(lines == plainSplit(text));

  LineWriter writer(copy, encoding);
  for (const std::string& line : lines) writer.writeLine(line);
  writer.close();
  FUZZ_CHECK(writer.linesWritten() == lines.size() && readLines(copy, encoding) == lines);

  std::size_t frames = 0, arrows = 0;
  for (const std::string& line : lines) {
    const bool frame = std::count(line.begin(), line.end(), '{') >= 2 &&
                       std::count(line.begin(), line.end(), '}') >= 2;
    const bool arrow = line.find("-->") != std::string::npos;
    FUZZ_CHECK(isFrameLine(line) == frame && isArrowLine(line) == arrow);
    frames += frame;
    arrows += arrow;
  }
  const SubtitleKind kind = detectSubtitleKind(path, encoding);
  FUZZ_CHECK(kind.isMicroDvd == (frames > 3) && kind.isSubRip == (arrows > 3));
  return 0;
}

}  // namespace pellumar::fuzz::line_files

PELLUMAR_FUZZ_TARGET(line_files)
