#include "processing/text_encoding.h"

#include <fcntl.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "processing/file_ops.h"
#include "processing/run_failure.h"
#include "processing/system_calls.h"
#include "processing/utf8_validator.h"

namespace pellumar {

bool Utf8Validator::feed(const unsigned char* data, std::size_t size) {
  std::size_t i = 0;
  while (valid_ && i < size) {
    if (need_ == 0) {
      // Plain ASCII runs are the common case; skip them eight bytes at a time.
      while (i + 8 <= size) {
        std::uint64_t word;
        std::memcpy(&word, data + i, 8);
        if (word & 0x8080808080808080ULL) break;
        i += 8;
      }
      if (i >= size) break;
      const unsigned char c = data[i++];
      if (c < 0x80) continue;
      low_ = 0x80;
      high_ = 0xBF;
      if (c >= 0xC2 && c <= 0xDF) {
        need_ = 1;
      } else if (c >= 0xE0 && c <= 0xEF) {
        need_ = 2;
        if (c == 0xE0) low_ = 0xA0;   // no overlong forms
        if (c == 0xED) high_ = 0x9F;  // no surrogates
      } else if (c >= 0xF0 && c <= 0xF4) {
        need_ = 3;
        if (c == 0xF0) low_ = 0x90;
        if (c == 0xF4) high_ = 0x8F;  // nothing past U+10FFFF
      } else {
        valid_ = false;
      }
    } else {
      const unsigned char c = data[i++];
      if (c < low_ || c > high_) {
        valid_ = false;
      } else {
        --need_;
        low_ = 0x80;
        high_ = 0xBF;
      }
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
  switch (form) {
    case Form::Utf8: return bom ? "UTF-8 with byte-order mark" : "UTF-8";
    case Form::Utf16Le: return "UTF-16LE";
    case Form::Utf16Be: return "UTF-16BE";
    case Form::Legacy: return codePage ? codePage->name() : "legacy";
  }
  return "";
}

namespace {

bool startsWith(std::string_view bytes, std::string_view prefix) {
  return bytes.substr(0, prefix.size()) == prefix;
}

std::optional<TextEncoding> fromByteOrderMark(std::string_view head) {
  if (startsWith(head, "\xFF\xFE")) return TextEncoding{TextEncoding::Form::Utf16Le, true, {}};
  if (startsWith(head, "\xFE\xFF")) return TextEncoding{TextEncoding::Form::Utf16Be, true, {}};
  return std::nullopt;
}

}  // namespace

TextEncoding detectEncoding(std::string_view bytes, std::shared_ptr<const CodePage> legacy) {
  if (auto utf16 = fromByteOrderMark(bytes)) return *utf16;
  if (isValidUtf8(bytes)) return {TextEncoding::Form::Utf8, startsWith(bytes, "\xEF\xBB\xBF"), {}};
  return TextEncoding::legacy(std::move(legacy));
}

TextEncoding detectFileEncoding(const std::string& path, std::shared_ptr<const CodePage> legacy) {
  const SystemCalls& sys = systemCalls();
  const int fd = sys.open(path.c_str(), O_RDONLY | O_CLOEXEC, 0);
  if (fd < 0) throw RunFailure(fileErrorMessage("read", path, errno));
  std::vector<unsigned char> chunk(1 << 16);
  Utf8Validator validator;
  std::string head;
  bool first = true;
  for (;;) {
    const ssize_t got = sys.read(fd, chunk.data(), chunk.size());
    if (got < 0) {
      if (errno == EINTR) continue;
      const int error = errno;
      sys.close(fd);
      throw RunFailure(fileErrorMessage("read", path, error));
    }
    if (got == 0) break;
    if (first) {
      head.assign(reinterpret_cast<const char*>(chunk.data()),
                  std::min<std::size_t>(static_cast<std::size_t>(got), 3));
      first = false;
      if (fromByteOrderMark(head)) break;
    }
    if (!validator.feed(chunk.data(), static_cast<std::size_t>(got))) break;
  }
  sys.close(fd);
  if (auto utf16 = fromByteOrderMark(head)) return *utf16;
  if (validator.complete()) {
    return {TextEncoding::Form::Utf8, startsWith(head, "\xEF\xBB\xBF"), {}};
  }
  return TextEncoding::legacy(std::move(legacy));
}

}  // namespace pellumar
