// Reading a file of any bytes: the encoding found on disk matches the one found
// in memory, the lines match a plain split of the decoded text, and the lines
// written back in the same encoding read back the same.

#include "fuzz/fuzz_support.h"
#include "processing/text/code_page.h"
#include "processing/file_ops.h"
#include "processing/text/line_reader.h"
#include "processing/text/line_writer.h"
#include "processing/files/run_failure.h"
#include "processing/text/text_encoding.h"
#include "processing/text/utf8.h"

namespace pellumar::fuzz::line_files {

// The reader's read size, so that a chunk can be made to end inside the data.
constexpr std::size_t kReaderChunk = FileReader::kChunkSize;

bool isUtf16(const TextEncoding& encoding) {
  return encoding.form == TextEncoding::Form::Utf16Le ||
         encoding.form == TextEncoding::Form::Utf16Be;
}

bool isUtf32(const TextEncoding& encoding) {
  return encoding.form == TextEncoding::Form::Utf32Le ||
         encoding.form == TextEncoding::Form::Utf32Be;
}

// Puts one long line of "p" bytes in front of the data (after its byte-order
// mark, so the encoding stays; in UTF-16 they make U+7070), so that the
// reader's first chunk ends `shift` bytes into the data.
std::string withChunkEndInside(std::string_view data, std::size_t shift) {
  std::size_t head = 0;
  std::size_t unit = 1;
  using namespace std::string_view_literals;
  if (data.starts_with("\xFF\xFE\0\0"sv) || data.starts_with("\0\0\xFE\xFF"sv)) {
    head = unit = 4;
  } else if (data.starts_with("\xFF\xFE") || data.starts_with("\xFE\xFF")) {
    head = unit = 2;
  } else if (data.starts_with("\xEF\xBB\xBF")) {
    head = 3;
  }
  const std::size_t padding = (kReaderChunk - head - shift) / unit * unit;
  std::string bytes(data.substr(0, head));
  bytes.append(padding, 'p');
  bytes += data.substr(head);
  return bytes;
}

// Well-formed UTF-8 as the Unicode standard's table of byte sequences has it.
bool wellFormedUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i++]);
    if (lead < 0x80) continue;
    int more = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
      more = 1;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      more = 2;
      if (lead == 0xE0) low = 0xA0;
      if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      more = 3;
      if (lead == 0xF0) low = 0x90;
      if (lead == 0xF4) high = 0x8F;
    } else {
      return false;
    }
    for (; more > 0; --more, low = 0x80, high = 0xBF) {
      if (i == text.size()) return false;
      const auto next = static_cast<unsigned char>(text[i++]);
      if (next < low || next > high) return false;
    }
  }
  return true;
}

TextEncoding::Form expectedForm(std::string_view bytes) {
  using namespace std::string_view_literals;
  if (bytes.starts_with("\xFF\xFE\0\0"sv)) return TextEncoding::Form::Utf32Le;
  if (bytes.starts_with("\0\0\xFE\xFF"sv)) return TextEncoding::Form::Utf32Be;
  if (bytes.starts_with("\xFF\xFE")) return TextEncoding::Form::Utf16Le;
  if (bytes.starts_with("\xFE\xFF")) return TextEncoding::Form::Utf16Be;
  return wellFormedUtf8(bytes) ? TextEncoding::Form::Utf8 : TextEncoding::Form::Legacy;
}

// The UTF-16 text as the reader gives it: pairs joined, lone surrogates kept.
std::string decodeUtf16(std::string_view bytes, bool bigEndian) {
  std::vector<char16_t> units;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto a = static_cast<unsigned char>(bytes[i]);
    const auto b = static_cast<unsigned char>(bytes[i + 1]);
    units.push_back(static_cast<char16_t>(bigEndian ? (a << 8) | b : (b << 8) | a));
  }
  std::string text;
  for (std::size_t i = 0; i < units.size(); ++i) {
    const char16_t u = units[i];
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
        units[i + 1] <= 0xDFFF) {
      appendUtf8(0x10000 + ((char32_t{u} - 0xD800) << 10) + (char32_t{units[i + 1]} - 0xDC00),
                 text);
      ++i;
    } else {
      appendUtf8(u, text);
    }
  }
  return text;
}

// The UTF-32 text as the reader gives it: values past U+10FFFF as U+FFFD.
std::string decodeUtf32(std::string_view bytes, bool bigEndian) {
  std::string text;
  for (std::size_t i = 0; i + 3 < bytes.size(); i += 4) {
    char32_t c = 0;
    for (std::size_t k = 0; k < 4; ++k) {
      const auto byte = static_cast<unsigned char>(bytes[i + (bigEndian ? k : 3 - k)]);
      c = (c << 8) | byte;
    }
    appendUtf8(c <= 0x10FFFF ? c : 0xFFFD, text);
  }
  return text;
}

std::string decodedText(std::string_view bytes, const TextEncoding& encoding) {
  switch (encoding.form) {
    case TextEncoding::Form::Utf8:
      return std::string(bytes.substr(encoding.bom ? 3 : 0));
    case TextEncoding::Form::Legacy: {
      std::string text;
      encoding.codePage->decode(bytes, text);
      return text;
    }
    case TextEncoding::Form::Utf16Le:
    case TextEncoding::Form::Utf16Be:
      return decodeUtf16(bytes.substr(2), encoding.form == TextEncoding::Form::Utf16Be);
    case TextEncoding::Form::Utf32Le:
    case TextEncoding::Form::Utf32Be:
      return decodeUtf32(bytes.substr(4), encoding.form == TextEncoding::Form::Utf32Be);
  }
  return {};
}

// CR LF, a lone CR and a lone LF each end a line; no empty line after the last end.
std::vector<std::string> plainSplit(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = std::min(text.find_first_of("\r\n", start), text.size());
    lines.emplace_back(text.substr(start, end - start));
    start = end + (text.substr(end, 2) == "\r\n" ? 2 : 1);
  }
  return lines;
}

std::vector<std::string> readLines(const std::string& path, const TextEncoding& encoding) {
  LineReader reader(path, encoding);
  std::vector<std::string> lines;
  std::string line;
  while (reader.next(line)) {
    lines.push_back(line);
    FUZZ_CHECK(reader.lineNumber() == lines.size());
  }
  FUZZ_CHECK(!reader.next(line));  // the end stays the end
  return lines;
}

int run(const std::uint8_t* data, std::size_t size) {
  ByteReader input(data, size);
  const unsigned char mode = input.byte();
  // Rarely, as a file of a quarter megabyte is slow to go through.
  const bool padded = (mode & 0xF0) == 0xF0;
  const std::size_t shift = padded ? input.byte() : 0;
  const std::string bytes(padded ? withChunkEndInside(input.rest(), shift)
                                 : std::string(input.rest()));
  const std::string path = (scratchFolder() / "lines.txt").string();
  const std::string copy = (scratchFolder() / "lines-copy.txt").string();
  writeFile(path, bytes);

  const auto page = CodePage::defaultPage();
  const TextEncoding encoding = detectFileEncoding(path, page);
  FUZZ_CHECK(encoding.form == expectedForm(bytes));
  FUZZ_CHECK(isValidUtf8(bytes) == wellFormedUtf8(bytes));
  if (encoding.form == TextEncoding::Form::Utf8) {
    FUZZ_CHECK(encoding.bom == bytes.starts_with("\xEF\xBB\xBF"));
  }

  std::vector<std::string> lines;
  try {
    lines = readLines(path, encoding);
  } catch (const RunFailure&) {
    // The one file that cannot be read to its end.
    FUZZ_CHECK((isUtf16(encoding) && bytes.size() % 2 == 1) ||
               (isUtf32(encoding) && bytes.size() % 4 != 0));
    return 0;
  }
  FUZZ_CHECK(!isUtf16(encoding) || bytes.size() % 2 == 0);
  FUZZ_CHECK(!isUtf32(encoding) || bytes.size() % 4 == 0);
  FUZZ_CHECK(lines == plainSplit(decodedText(bytes, encoding)));

  LineWriter writer(copy, encoding);
  for (const std::string& line : lines) writer.writeLine(line);
  writer.close();
  FUZZ_CHECK(writer.linesWritten() == lines.size());
  FUZZ_CHECK(readLines(copy, encoding) == lines);
  if (encoding.form == TextEncoding::Form::Utf8) {
    std::string expected = encoding.bom ? "\xEF\xBB\xBF" : "";
    for (const std::string& line : lines) expected += line + "\r\n";
    FUZZ_CHECK(readFileIfPresent(copy) == expected);
  }
  return 0;
}

}  // namespace pellumar::fuzz::line_files

PELLUMAR_FUZZ_TARGET(line_files)
