#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pellumar::testing {

/// splitmix64: reproducible on every platform, unlike the standard
/// distributions. The tests and the benchmark corpus (bench/make_corpus.cpp)
/// both draw from it.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint64_t next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  std::size_t below(std::size_t n) { return static_cast<std::size_t>(next() % n); }
  bool percent(int p) { return static_cast<int>(below(100)) < p; }
  /// Up to `longest` characters drawn from `alphabet`.
  std::string text(std::size_t longest, std::string_view alphabet) {
    std::string made(below(longest + 1), ' ');
    for (char& c : made) c = alphabet[below(alphabet.size())];
    return made;
  }
  template <typename T>
  const T& pick(const std::vector<T>& items) {
    return items[below(items.size())];
  }

 private:
  std::uint64_t state_;
};

}  // namespace pellumar::testing
