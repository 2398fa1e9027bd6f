#include "processing/text/utf8.h"

#include "processing/text/byte_block.h"

namespace pellumar {

void appendUtf8(char32_t cp, std::string& out) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

char32_t nextCodePoint(std::string_view utf8, std::size_t& pos) {
  auto byte = [&](std::size_t i) { return static_cast<unsigned char>(utf8[i]); };
  const unsigned char lead = byte(pos);
  if (lead < 0x80) {
    ++pos;
    return lead;
  }
  std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
  if (length == 0 || lead > 0xF4 || pos + length > utf8.size()) {
    ++pos;
    return 0xFFFD;
  }
  char32_t cp = lead & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) {
    const unsigned char next = byte(pos + i);
    if ((next & 0xC0) != 0x80) {
      ++pos;
      return 0xFFFD;
    }
    cp = (cp << 6) | (next & 0x3F);
  }
  pos += length;
  return cp;
}

namespace {

// True when the block at `p` holds only ASCII and whole two-byte characters,
// but for a lead byte at its very end; p[-1] must be readable and must not be
// a lead byte. Polish or Czech text is mostly that, and checking it without
// a branch per character keeps the branch predictor out of the way.
bool blockIsAsciiOrTwoByte(const unsigned char* p) {
  const UnsignedByteBlock c = loadUnsignedBlock(p);
  const UnsignedByteBlock before = loadUnsignedBlock(p - 1);
  const auto continuation = (c & 0xC0) == 0x80;
  const auto afterLead = (before >= 0xC2) & (before <= 0xDF);
  const auto otherLead = (c >= 0xE0) | (c == 0xC0) | (c == 0xC1);
  return !BlockMatches((continuation ^ afterLead) | otherLead).any();
}

bool isContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// The length of the well-formed character at `data`, or 0 when it is not
// one; at least four bytes must be readable.
std::size_t wholeCharacter(const unsigned char* data) {
  const unsigned char c = data[0];
  if (c < 0x80) return 1;
  if (c >= 0xC2 && c <= 0xDF) return isContinuation(data[1]) ? 2 : 0;
  if (c >= 0xE0 && c <= 0xEF) {
    const unsigned char low = c == 0xE0 ? 0xA0 : 0x80;   // no overlong forms
    const unsigned char high = c == 0xED ? 0x9F : 0xBF;  // no surrogates
    return data[1] >= low && data[1] <= high && isContinuation(data[2]) ? 3 : 0;
  }
  if (c >= 0xF0 && c <= 0xF4) {
    const unsigned char low = c == 0xF0 ? 0x90 : 0x80;
    const unsigned char high = c == 0xF4 ? 0x8F : 0xBF;  // nothing past U+10FFFF
    const bool tail = isContinuation(data[2]) && isContinuation(data[3]);
    return data[1] >= low && data[1] <= high && tail ? 4 : 0;
  }
  return 0;
}

}  // namespace

bool Utf8Validator::feed(const unsigned char* data, std::size_t size) {
  std::size_t i = 0;
  while (valid_ && i < size) {
    // Away from the piece's ends, a block at a time; characters of three or
    // four bytes are checked whole.
    if (need_ == 0 && i > 0 && i + kByteBlockSize + 3 <= size) {
      if (blockIsAsciiOrTwoByte(data + i)) {
        i += kByteBlockSize;
        const unsigned char last = data[i - 1];
        if (last >= 0xC2 && last <= 0xDF) {
          need_ = 1;
          low_ = 0x80;
          high_ = 0xBF;
        }
        continue;
      }
      for (const std::size_t end = i + kByteBlockSize; i < end;) {
        const std::size_t length = wholeCharacter(data + i);
        if (length == 0) {
          valid_ = false;
          break;
        }
        i += length;
      }
      continue;
    }
    const unsigned char c = data[i++];
    if (need_ == 0) {
      if (c < 0x80) continue;
      low_ = 0x80;
      high_ = 0xBF;
      if (c >= 0xC2 && c <= 0xDF) {
        need_ = 1;
      } else if (c >= 0xE0 && c <= 0xEF) {
        need_ = 2;
        if (c == 0xE0) low_ = 0xA0;
        if (c == 0xED) high_ = 0x9F;
      } else if (c >= 0xF0 && c <= 0xF4) {
        need_ = 3;
        if (c == 0xF0) low_ = 0x90;
        if (c == 0xF4) high_ = 0x8F;
      } else {
        valid_ = false;
      }
    } else if (c < low_ || c > high_) {
      valid_ = false;
    } else {
      --need_;
      low_ = 0x80;
      high_ = 0xBF;
    }
  }
  return valid_;
}

bool isValidUtf8(std::string_view bytes) {
  Utf8Validator validator;
  validator.feed(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
  return validator.complete();
}

}  // namespace pellumar
