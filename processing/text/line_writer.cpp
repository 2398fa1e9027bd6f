#include "processing/text/line_writer.h"

#include <cerrno>

#include "processing/files/file_io.h"
#include "processing/files/file_names.h"
#include "processing/files/run_failure.h"
#include "processing/files/system_calls.h"
#include "processing/text/utf8.h"

namespace pellumar {

namespace {

constexpr std::size_t kFlushSize = 1 << 18;

void appendUtf16Unit(char16_t unit, bool bigEndian, std::string& out) {
  const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
  out.push_back(bigEndian ? high : low);
  out.push_back(bigEndian ? low : high);
}

void appendUtf32(char32_t cp, bool bigEndian, std::string& out) {
  for (int i = 0; i < 4; ++i) {
    const int shift = bigEndian ? 24 - 8 * i : 8 * i;
    out.push_back(static_cast<char>((cp >> shift) & 0xFF));
  }
}

}  // namespace

LineWriter::LineWriter(const std::string& path, TextEncoding encoding, std::string shownName,
                       int fd)
    : path_(path),
      shownName_(shownName.empty() ? path : std::move(shownName)),
      encoding_(std::move(encoding)) {
  fd_ = fd >= 0 ? fd : createFresh(path_);
  switch (encoding_.form) {
    case TextEncoding::Form::Utf8:
      if (encoding_.bom) out_ = "\xEF\xBB\xBF";
      break;
    case TextEncoding::Form::Utf16Le:
      out_ = "\xFF\xFE";
      break;
    case TextEncoding::Form::Utf16Be:
      out_ = "\xFE\xFF";
      break;
    case TextEncoding::Form::Utf32Le:
      out_.assign("\xFF\xFE\0\0", 4);
      break;
    case TextEncoding::Form::Utf32Be:
      out_.assign("\0\0\xFE\xFF", 4);
      break;
    case TextEncoding::Form::Legacy:
      break;
  }
}

LineWriter::~LineWriter() {
  if (fd_ >= 0) PELLUMAR_SYSTEM(close)(fd_);
}

void LineWriter::encode(std::string_view text) {
  switch (encoding_.form) {
    case TextEncoding::Form::Utf8:
      out_.append(text);
      break;
    case TextEncoding::Form::Legacy:
      if (auto bad = encoding_.codePage->encode(text, out_, !encoding_.convertsText)) {
        throw RunFailure(cannotHoldMessage(shownName_, lines_ + 1, *bad, encoding_));
      }
      break;
    case TextEncoding::Form::Utf16Le:
    case TextEncoding::Form::Utf16Be: {
      const bool bigEndian = encoding_.form == TextEncoding::Form::Utf16Be;
      std::size_t pos = 0;
      while (pos < text.size()) {
        const char32_t cp = nextCodePoint(text, pos);
        if (cp >= 0x10000) {
          appendUtf16Unit(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)), bigEndian, out_);
          appendUtf16Unit(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)), bigEndian,
                          out_);
        } else {
          appendUtf16Unit(static_cast<char16_t>(cp), bigEndian, out_);
        }
      }
      break;
    }
    case TextEncoding::Form::Utf32Le:
    case TextEncoding::Form::Utf32Be: {
      const bool bigEndian = encoding_.form == TextEncoding::Form::Utf32Be;
      for (std::size_t pos = 0; pos < text.size();) {
        appendUtf32(nextCodePoint(text, pos), bigEndian, out_);
      }
      break;
    }
  }
}

void LineWriter::writeLine(std::string_view line) {
  if (encoding_.convertsText && encoding_.form != TextEncoding::Form::Legacy) {
    std::string unused;
    if (auto bad = firstUnholdable(line, encoding_, unused)) {
      throw RunFailure(cannotHoldMessage(shownName_, lines_ + 1, *bad, encoding_));
    }
  }
  if (encoding_.form == TextEncoding::Form::Utf8) {
    out_.append(line);
    out_.push_back('\r');
    out_.push_back('\n');
  } else {
    encode(line);
    encode("\r\n");
  }
  ++lines_;
  if (out_.size() >= kFlushSize) flush();
}

void LineWriter::flush() {
  writeAll(fd_, out_, path_);
  out_.clear();
}

void LineWriter::close() {
  if (fd_ < 0) return;
  flush();
  const int fd = fd_;
  fd_ = -1;
  if (PELLUMAR_SYSTEM(close)(fd) != 0) throw RunFailure(fileErrorMessage("write", path_, errno));
}

}  // namespace pellumar
