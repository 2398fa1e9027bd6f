#pragma once

// Helpers shared by the fuzz targets. Each target is one source file whose
// checks live in `pellumar::fuzz::<target>::run`; the regression tests include
// those files with PELLUMAR_FUZZ_REPLAY defined, which leaves out the
// libFuzzer entry point and turns a broken property into an exception.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "tests/support/stage_runner.h"
#include "tests/support/test_files.h"

namespace pellumar::fuzz {

[[noreturn]] inline void fail(const std::string& what, const char* file, int line) {
#ifdef PELLUMAR_FUZZ_REPLAY
  throw std::logic_error(std::string(file) + ":" + std::to_string(line) + ": " + what);
#else
  std::fprintf(stderr, "%s:%d: property broken: %s\n", file, line, what.c_str());
  std::abort();
#endif
}

#define FUZZ_CHECK(condition)                                                 \
  do {                                                                        \
    if (!(condition)) ::pellumar::fuzz::fail(#condition, __FILE__, __LINE__); \
  } while (false)

/// Hands out the fuzzer's bytes piece by piece; past the end it gives zeros
/// and empty pieces, so every input means something.
struct ByteReader {
  ByteReader(const std::uint8_t* data, std::size_t size)
      : rest(reinterpret_cast<const char*>(data), size) {}

  unsigned char byte() {
    const auto b = static_cast<unsigned char>(rest.empty() ? 0 : rest.front());
    rest.remove_prefix(rest.empty() ? 0 : 1);
    return b;
  }

  /// The bytes up to the next NUL (which is used up) or the end of the
  /// input, but no more than `limit`.
  std::string piece(std::size_t limit) {
    const std::size_t end = rest.find('\0'), size = std::min({end, limit, rest.size()});
    std::string text(rest.substr(0, size));
    rest.remove_prefix(size + (size == end ? 1 : 0));
    return text;
  }

  /// The rest split at every LF; a CR stays part of its line, as the stages
  /// must cope with any text.
  testing::Lines lines() const { return testing::split(std::string(rest), '\n'); }

  std::string_view rest;
};

/// A folder of the process's own, removed at exit; in memory where the
/// system allows, as the file-based targets write files for every input.
inline const std::filesystem::path& scratchFolder() {
  static const testing::TempDir folder(true);
  return folder.path();
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
