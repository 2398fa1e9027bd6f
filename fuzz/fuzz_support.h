#pragma once

// Helpers shared by the fuzz targets. Each target is one source file whose
// checks live in `pellumar::fuzz::<target>::run`; the regression tests include
// those files with PELLUMAR_FUZZ_REPLAY defined, which leaves out the
// libFuzzer entry point and turns a broken property into an exception.

#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace pellumar::fuzz {

[[noreturn]] inline void fail(const char* condition, const char* file, int line) {
#ifdef PELLUMAR_FUZZ_REPLAY
  throw std::logic_error(std::string(file) + ":" + std::to_string(line) + ": " + condition);
#else
  std::fprintf(stderr, "%s:%d: property broken: %s\n", file, line, condition);
  std::abort();
#endif
}

#define FUZZ_CHECK(condition)                                                 \
  do {                                                                        \
    if (!(condition)) ::pellumar::fuzz::fail(#condition, __FILE__, __LINE__); \
  } while (false)

/// Hands out the fuzzer's bytes piece by piece; past the end it gives zeros
/// and empty pieces, so every input means something.
class ByteReader {
 public:
  ByteReader(const std::uint8_t* data, std::size_t size)
      : rest_(reinterpret_cast<const char*>(data), size) {}

  unsigned char byte() {
    if (rest_.empty()) return 0;
    const auto b = static_cast<unsigned char>(rest_.front());
    rest_.remove_prefix(1);
    return b;
  }

  /// The bytes up to the next `end` (which is used up) or the end of the
  /// input, but no more than `limit`.
  std::string piece(char end, std::size_t limit) {
    std::size_t size = rest_.find(end);
    const bool ended = size != std::string_view::npos && size <= limit;
    if (!ended) size = std::min(rest_.size(), limit);
    std::string text(rest_.substr(0, size));
    rest_.remove_prefix(size + (ended ? 1 : 0));
    return text;
  }

  std::string_view rest() const { return rest_; }

 private:
  std::string_view rest_;
};

/// The text with its spaces left out.
inline std::string withoutSpaces(std::string_view text) {
  std::string rest;
  for (const char c : text) rest += c == ' ' ? "" : std::string(1, c);
  return rest;
}

/// Lines for the line rules and stages: the text split at every LF. A CR
/// stays part of its line, as the stages must cope with any text.
inline std::vector<std::string> splitAtLineFeeds(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find('\n', start);
    lines.emplace_back(text.substr(start, end == std::string_view::npos ? end : end - start));
    if (end == std::string_view::npos) return lines;
    start = end + 1;
  }
}

/// A folder of the process's own, removed at exit. In memory where the system
/// has /dev/shm: the file-based targets write files for every input.
inline const std::filesystem::path& scratchFolder() {
  // Never destroyed, so that the exit handler can still use it.
  static const std::filesystem::path* folder = [] {
    std::filesystem::path base = std::filesystem::temp_directory_path();
    if (::access("/dev/shm", W_OK) == 0) base = "/dev/shm";
    std::string pattern = (base / "pellumar-fuzz-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
      std::perror("mkdtemp");
      std::abort();
    }
    auto* made = new std::filesystem::path(pattern);
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(scratchFolder(), ignored);
    });
    return made;
  }();
  return *folder;
}

inline void writeFile(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) fail("the fuzzer cannot write its file", __FILE__, __LINE__);
}

/// The file's bytes, or nothing when there is no file.
inline std::optional<std::string> readFileIfPresent(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace pellumar::fuzz

// The libFuzzer entry point of a target, left out when replaying.
#ifdef PELLUMAR_FUZZ_REPLAY
#define PELLUMAR_FUZZ_TARGET(target)
#else
#define PELLUMAR_FUZZ_TARGET(target)                                                  \
  extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) { \
    return pellumar::fuzz::target::run(data, size);                                   \
  }
#endif
