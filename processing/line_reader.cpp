#include "processing/line_reader.h"

#include <fcntl.h>

#include <cerrno>
#include <cstring>

#include "processing/file_ops.h"
#include "processing/run_failure.h"
#include "processing/system_calls.h"

namespace pellumar {

namespace {

constexpr std::size_t kChunkSize = 1 << 18;

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

}  // namespace

LineReader::LineReader(const std::string& path, TextEncoding encoding)
    : path_(path), encoding_(std::move(encoding)) {
  fd_ = systemCalls().open(path_.c_str(), O_RDONLY | O_CLOEXEC, 0);
  if (fd_ < 0) throw RunFailure(fileErrorMessage("read", path_, errno));
  raw_.resize(kChunkSize);
}

LineReader::~LineReader() {
  if (fd_ >= 0) systemCalls().close(fd_);
}

std::size_t LineReader::nextLineFeed(std::size_t from, std::size_t end) {
  // A file with lone CRs has no LF to find: remember how far there is none,
  // or every line would search the whole buffer again.
  if (lfPos_ != kNone && lfPos_ >= from) return lfPos_;
  const std::size_t start = lfPos_ == kNone && lfKnownTo_ > from ? lfKnownTo_ : from;
  const void* found = std::memchr(buf_.data() + start, '\n', end - start);
  if (found) {
    lfPos_ = static_cast<std::size_t>(static_cast<const char*>(found) - buf_.data());
    return lfPos_;
  }
  lfPos_ = kNone;
  lfKnownTo_ = end;
  return end;
}

void LineReader::fill() {
  // Drop what was already returned, so the buffer holds at most one line
  // plus one chunk.
  if (pos_ > 0) {
    buf_.erase(0, pos_);
    scanned_ -= pos_;
    lfPos_ = lfPos_ != kNone && lfPos_ >= pos_ ? lfPos_ - pos_ : kNone;
    lfKnownTo_ = lfKnownTo_ > pos_ ? lfKnownTo_ - pos_ : 0;
    pos_ = 0;
  }
  ssize_t got;
  do {
    got = systemCalls().read(fd_, raw_.data(), raw_.size());
  } while (got < 0 && errno == EINTR);
  if (got < 0) throw RunFailure(fileErrorMessage("read", path_, errno));
  if (got == 0) {
    eof_ = true;
    if (!carry_.empty()) {
      throw RunFailure("Cannot read \"" + path_ +
                       "\": it starts as UTF-16 but has an odd number of bytes.");
    }
    if (pendingHigh_ != 0) {
      appendUtf8(pendingHigh_, buf_);
      pendingHigh_ = 0;
    }
    return;
  }
  decodeChunk(raw_.data(), static_cast<std::size_t>(got));
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
    } else if ((encoding_.form == TextEncoding::Form::Utf16Le ||
                encoding_.form == TextEncoding::Form::Utf16Be) &&
               size >= 2) {
      mark = 2;
    }
    data += mark;
    size -= mark;
  }
  switch (encoding_.form) {
    case TextEncoding::Form::Utf8:
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
  }
}

bool LineReader::next(std::string& line) {
  for (;;) {
    const char* begin = buf_.data();
    const std::size_t end = buf_.size();
    const std::size_t from = scanned_ < pos_ ? pos_ : scanned_;
    const std::size_t lf = nextLineFeed(from, end);
    const void* cr = std::memchr(begin + from, '\r', lf - from);
    const std::size_t k = cr ? static_cast<std::size_t>(static_cast<const char*>(cr) - begin) : lf;
    if (k < end) {
      // A CR at the very end of what is decoded may be the first half of CR LF.
      if (begin[k] == '\r' && k + 1 == end && !eof_) {
        scanned_ = k;
        fill();
        continue;
      }
      line.assign(begin + pos_, k - pos_);
      pos_ = k + 1;
      if (begin[k] == '\r' && pos_ < end && begin[pos_] == '\n') ++pos_;
      scanned_ = pos_;
      ++lineNumber_;
      return true;
    }
    scanned_ = end;
    if (eof_) {
      if (pos_ < end) {
        line.assign(begin + pos_, end - pos_);
        pos_ = end;
        ++lineNumber_;
        return true;
      }
      return false;
    }
    fill();
  }
}

}  // namespace pellumar
