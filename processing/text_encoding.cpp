#include "processing/text_encoding.h"

#include <fcntl.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "processing/byte_block.h"
#include "processing/file_ops.h"
#include "processing/run_failure.h"
#include "processing/system_calls.h"
#include "processing/utf8_validator.h"

namespace pellumar {

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

std::string TextEncoding::describe() const {
  if (form == Form::Utf8 && bom) return "UTF-8 with byte-order mark";
  return name();
}

std::string TextEncoding::name() const {
  switch (form) {
    case Form::Utf8:
      return "UTF-8";
    case Form::Utf16Le:
      return "UTF-16LE";
    case Form::Utf16Be:
      return "UTF-16BE";
    case Form::Utf32Le:
      return "UTF-32LE";
    case Form::Utf32Be:
      return "UTF-32BE";
    case Form::Legacy:
      return codePage ? codePage->name() : "legacy";
  }
  return "";
}

namespace {

// Legacy text looked at for the choice of page, at most.
constexpr std::size_t kGuessBytes = 1 << 20;

bool startsWith(std::string_view bytes, std::string_view prefix) {
  return bytes.substr(0, prefix.size()) == prefix;
}

// Needs the first four bytes when the file has them.
std::optional<TextEncoding> fromByteOrderMark(std::string_view head) {
  using namespace std::string_view_literals;
  if (startsWith(head, "\xFF\xFE\0\0"sv))
    return TextEncoding{TextEncoding::Form::Utf32Le, true, {}};
  if (startsWith(head, "\0\0\xFE\xFF"sv))
    return TextEncoding{TextEncoding::Form::Utf32Be, true, {}};
  if (startsWith(head, "\xFF\xFE")) return TextEncoding{TextEncoding::Form::Utf16Le, true, {}};
  if (startsWith(head, "\xFE\xFF")) return TextEncoding{TextEncoding::Form::Utf16Be, true, {}};
  return std::nullopt;
}

CodePageCandidates single(std::shared_ptr<const CodePage> page) {
  return {page ? std::move(page) : CodePage::defaultPage()};
}

}  // namespace

TextEncoding detectEncoding(std::string_view bytes, const CodePageCandidates& legacy) {
  if (auto marked = fromByteOrderMark(bytes)) return *marked;
  if (isValidUtf8(bytes)) return {TextEncoding::Form::Utf8, startsWith(bytes, "\xEF\xBB\xBF"), {}};
  return TextEncoding::legacy(guessCodePage(bytes.substr(0, kGuessBytes), legacy));
}

TextEncoding detectEncoding(std::string_view bytes, std::shared_ptr<const CodePage> legacy) {
  return detectEncoding(bytes, single(std::move(legacy)));
}

TextEncoding detectFileEncoding(const std::string& path, std::shared_ptr<const CodePage> legacy) {
  return detectFileEncoding(path, single(std::move(legacy)));
}

TextEncoding detectFileEncoding(const std::string& path, const CodePageCandidates& legacy) {
  const SystemCalls& sys = systemCalls();
  const int fd = sys.open(path.c_str(), O_RDONLY | O_CLOEXEC, 0);
  if (fd < 0) throw RunFailure(fileErrorMessage("read", path, errno));
  constexpr std::size_t kChunkSize = 1 << 16;
  const auto chunk = std::make_unique_for_overwrite<unsigned char[]>(kChunkSize);
  Utf8Validator validator;
  // Fed from the piece where the text stops being UTF-8 on, until the
  // choice is settled.
  CodePageGuesser guesser(legacy);
  std::size_t guessed = 0;
  bool utf8 = true;
  std::string head;
  bool first = true;
  for (;;) {
    const ssize_t got = sys.read(fd, chunk.get(), kChunkSize);
    if (got < 0) {
      if (errno == EINTR) continue;
      const int error = errno;
      sys.close(fd);
      throw RunFailure(fileErrorMessage("read", path, error));
    }
    if (got == 0) break;
    const auto size = static_cast<std::size_t>(got);
    if (first) {
      head.assign(reinterpret_cast<const char*>(chunk.get()), std::min<std::size_t>(size, 4));
      first = false;
      if (fromByteOrderMark(head)) break;
    }
    if (utf8) utf8 = validator.feed(chunk.get(), size);
    if (!utf8) {
      if (legacy.size() < 2) break;
      guesser.feed(std::string_view(reinterpret_cast<const char*>(chunk.get()), size));
      guessed += size;
      if (guesser.hasEnough() || guessed >= kGuessBytes) break;
    }
  }
  sys.close(fd);
  if (auto marked = fromByteOrderMark(head)) return *marked;
  if (utf8 && validator.complete()) {
    return {TextEncoding::Form::Utf8, startsWith(head, "\xEF\xBB\xBF"), {}};
  }
  if (legacy.size() < 2)
    return TextEncoding::legacy(legacy.empty() ? CodePage::defaultPage() : legacy.front());
  return TextEncoding::legacy(guesser.best());
}

}  // namespace pellumar
