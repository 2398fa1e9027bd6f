#include "processing/text/line_reader.h"

#include <cstring>

#include "processing/files/file_io.h"
#include "processing/files/run_failure.h"
#include "processing/text/byte_block.h"
#include "processing/text/utf8.h"

namespace pellumar {

namespace {

// Appends the UTF-8 form of UTF-16 text; a lone surrogate is kept as it is,
// so that it can be written back.
void decodeUtf16(const unsigned char* data, std::size_t units, bool bigEndian, std::string& out,
                 char16_t& pendingHigh) {
  for (std::size_t i = 0; i < units; ++i) {
    const unsigned char a = data[2 * i], b = data[2 * i + 1];
    const char16_t unit = static_cast<char16_t>(bigEndian ? (a << 8) | b : (b << 8) | a);
    if (pendingHigh != 0) {
      if (unit >= 0xDC00 && unit <= 0xDFFF) {
        appendUtf8(0x10000 + ((static_cast<char32_t>(pendingHigh) - 0xD800) << 10) +
                       (static_cast<char32_t>(unit) - 0xDC00),
                   out);
        pendingHigh = 0;
        continue;
      }
      appendUtf8(pendingHigh, out);
      pendingHigh = 0;
    }
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      pendingHigh = unit;
    } else if (unit < 0x80) {
      out.push_back(static_cast<char>(unit));
    } else {
      appendUtf8(unit, out);
    }
  }
}

// Appends the UTF-8 form of UTF-32 text. A value past U+10FFFF is no
// character and reads as U+FFFD.
void decodeUtf32(const unsigned char* data, std::size_t units, bool bigEndian, std::string& out) {
  for (std::size_t i = 0; i < units; ++i) {
    const unsigned char* u = data + 4 * i;
    const char32_t value =
        bigEndian ? (char32_t{u[0]} << 24) | (char32_t{u[1]} << 16) | (char32_t{u[2]} << 8) | u[3]
                  : (char32_t{u[3]} << 24) | (char32_t{u[2]} << 16) | (char32_t{u[1]} << 8) | u[0];
    appendUtf8(value <= 0x10FFFF ? value : 0xFFFD, out);
  }
}

bool isUtf16(TextEncoding::Form form) {
  return form == TextEncoding::Form::Utf16Le || form == TextEncoding::Form::Utf16Be;
}

bool isUtf32(TextEncoding::Form form) {
  return form == TextEncoding::Form::Utf32Le || form == TextEncoding::Form::Utf32Be;
}

// The first CR or LF in [from, end), or `end`. Lines are short, so one scan
// for both beats a search for each.
std::size_t findTerminator(const char* data, std::size_t from, std::size_t end) {
  for (; from + kByteBlockSize <= end; from += kByteBlockSize) {
    const ByteBlock c = loadBlock(data + from);
    const BlockMatches ends((c == '\r') | (c == '\n'));
    if (ends.any()) return from + ends.first();
  }
  while (from < end && data[from] != '\r' && data[from] != '\n') ++from;
  return from;
}

}  // namespace

LineReader::LineReader(const std::string& path, TextEncoding encoding, const std::string* contents)
    : path_(path), encoding_(std::move(encoding)) {
  if (contents) {
    unread_ = *contents;
  } else {
    file_.emplace(path_);
  }
}

std::string_view LineReader::nextPiece() {
  if (file_) return file_->next();
  // The contents are one piece, however long.
  const std::string_view piece = unread_;
  unread_ = {};
  return piece;
}

void LineReader::fill() {
  // Drop what was already returned, so the buffer holds at most one line
  // plus one chunk.
  if (pos_ > 0) {
    buf_.erase(0, pos_);
    scanned_ -= pos_;
    pos_ = 0;
  }
  const std::string_view piece = nextPiece();
  if (piece.empty()) {
    eof_ = true;
    if (!carry_.empty()) {
      throw RunFailure("Cannot read \"" + path_ + "\": it starts as " + encoding_.name() +
                       (isUtf32(encoding_.form) ? " but its length is no multiple of four bytes."
                                                : " but has an odd number of bytes."));
    }
    if (encoding_.checkWhileReading && !validator_.complete()) throw NotUtf8();
    if (pendingHigh_ != 0) {
      appendUtf8(pendingHigh_, buf_);
      pendingHigh_ = 0;
    }
    return;
  }
  decodeChunk(piece.data(), piece.size());
}

void LineReader::decodeChunk(const char* data, std::size_t size) {
  if (!started_) {
    started_ = true;
    // The byte-order mark belongs to the file, not to its first line. A file
    // read in small pieces still has its mark in the first one.
    std::size_t mark = 0;
    if (encoding_.form == TextEncoding::Form::Utf8 && encoding_.bom &&
        std::string_view(data, size).substr(0, 3) == "\xEF\xBB\xBF") {
      mark = 3;
    } else if (isUtf16(encoding_.form) && size >= 2) {
      mark = 2;
    } else if (isUtf32(encoding_.form) && size >= 4) {
      mark = 4;
    }
    data += mark;
    size -= mark;
  }
  switch (encoding_.form) {
    case TextEncoding::Form::Utf8:
      if (encoding_.checkWhileReading &&
          !validator_.feed(reinterpret_cast<const unsigned char*>(data), size)) {
        throw NotUtf8();
      }
      buf_.append(data, size);
      break;
    case TextEncoding::Form::Legacy:
      encoding_.codePage->decode(std::string_view(data, size), buf_);
      break;
    case TextEncoding::Form::Utf16Le:
    case TextEncoding::Form::Utf16Be: {
      carry_.append(data, size);
      const std::size_t units = carry_.size() / 2;
      decodeUtf16(reinterpret_cast<const unsigned char*>(carry_.data()), units,
                  encoding_.form == TextEncoding::Form::Utf16Be, buf_, pendingHigh_);
      carry_.erase(0, units * 2);
      break;
    }
    case TextEncoding::Form::Utf32Le:
    case TextEncoding::Form::Utf32Be: {
      carry_.append(data, size);
      const std::size_t units = carry_.size() / 4;
      decodeUtf32(reinterpret_cast<const unsigned char*>(carry_.data()), units,
                  encoding_.form == TextEncoding::Form::Utf32Be, buf_);
      carry_.erase(0, units * 4);
      break;
    }
  }
}

bool LineReader::next(std::string& line) {
  for (;;) {
    const char* begin = buf_.data();
    const std::size_t end = buf_.size();
    const std::size_t from = scanned_ < pos_ ? pos_ : scanned_;
    const std::size_t k = findTerminator(begin, from, end);
    if (k < end) {
      // A CR at the very end of what is decoded may be the first half of CR LF.
      if (begin[k] == '\r' && k + 1 == end && !eof_) {
        scanned_ = k;
        fill();
        continue;
      }
      line.assign(begin + pos_, k - pos_);
      pos_ = k + 1;
      if (begin[k] == '\r' && pos_ < end && begin[pos_] == '\n') {
        ++pos_;
      } else {
        otherEnds_ = true;
      }
      scanned_ = pos_;
      ++lineNumber_;
      return true;
    }
    scanned_ = end;
    if (eof_) {
      if (pos_ < end) {
        line.assign(begin + pos_, end - pos_);
        pos_ = end;
        otherEnds_ = true;  // the last line has no end
        ++lineNumber_;
        return true;
      }
      return false;
    }
    fill();
  }
}

}  // namespace pellumar
