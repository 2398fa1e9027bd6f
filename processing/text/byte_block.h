#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace pellumar {

// Sixteen bytes compared side by side through the GCC and Clang vector
// extension, which compiles to SSE2 or NEON without naming either. The text
// rules use it where a byte at a time would cost more than the rule itself.
typedef char ByteBlock __attribute__((vector_size(16)));
typedef unsigned char UnsignedByteBlock __attribute__((vector_size(16)));
inline constexpr std::size_t kByteBlockSize = sizeof(ByteBlock);

inline ByteBlock loadBlock(const char* p) {
  ByteBlock block;
  std::memcpy(&block, p, kByteBlockSize);
  return block;
}

inline UnsignedByteBlock loadUnsignedBlock(const unsigned char* p) {
  UnsignedByteBlock block;
  std::memcpy(&block, p, kByteBlockSize);
  return block;
}

/// The bytes of a block that a comparison matched, front to back.
class BlockMatches {
 public:
  template <typename Comparison>
  explicit BlockMatches(const Comparison& comparison) {
    static_assert(sizeof(Comparison) == sizeof(halves_));
    std::memcpy(halves_, &comparison, sizeof(halves_));
  }

  bool any() const { return (halves_[0] | halves_[1]) != 0; }

  /// The index of the first matched byte; any() must hold.
  std::size_t first() const {
    return halves_[0] != 0 ? firstIn(halves_[0]) : 8 + firstIn(halves_[1]);
  }

  /// Forgets the first matched byte; any() must hold.
  void dropFirst() {
    std::uint64_t& half = halves_[0] != 0 ? halves_[0] : halves_[1];
    const std::size_t index = firstIn(half);
    half &= ~(std::uint64_t{0xFF} << shiftOf(index));
  }

  /// Forgets the matched bytes before index `count` (at most 16).
  void dropBefore(std::size_t count) {
    if (count >= 8) {
      halves_[0] = 0;
      keepFrom(halves_[1], count - 8);
    } else {
      keepFrom(halves_[0], count);
    }
  }

 private:
  static constexpr bool kLittle = std::endian::native == std::endian::little;
  static std::size_t firstIn(std::uint64_t half) {
    return static_cast<std::size_t>(kLittle ? std::countr_zero(half) : std::countl_zero(half)) / 8;
  }
  static std::size_t shiftOf(std::size_t index) { return kLittle ? 8 * index : 56 - 8 * index; }
  static void keepFrom(std::uint64_t& half, std::size_t index) {
    if (index >= 8) {
      half = 0;
    } else if (index > 0) {
      half &= kLittle ? ~std::uint64_t{0} << (8 * index) : ~std::uint64_t{0} >> (8 * index);
    }
  }

  std::uint64_t halves_[2];
};

/// The first position from `from` on where `first` stands with `second` right
/// after it, or npos. The last block overlaps the one before rather than
/// ending byte by byte, since lines are short.
inline std::size_t findBytePair(std::string_view text, char first, char second,
                                std::size_t from = 0) {
  const char* const data = text.data();
  const std::size_t size = text.size();
  // A block also reads the byte after it.
  if (size > kByteBlockSize) {
    const std::size_t lastBlock = size - kByteBlockSize - 1;
    for (; from < size - 1; from += kByteBlockSize) {
      const std::size_t at = from < lastBlock ? from : lastBlock;
      BlockMatches pairs((loadBlock(data + at) == first) & (loadBlock(data + at + 1) == second));
      pairs.dropBefore(from - at);
      if (pairs.any()) return at + pairs.first();
    }
    return std::string_view::npos;
  }
  for (; from + 1 < size; ++from) {
    if (data[from] == first && data[from + 1] == second) return from;
  }
  return std::string_view::npos;
}

/// Where the first byte of `text` from `pos` on that is not ASCII stands, or
/// the text's size; a block at a time, the last block overlapping the one
/// before rather than ending byte by byte.
inline std::size_t asciiRunEnd(std::string_view text, std::size_t pos) {
  const auto* const data = reinterpret_cast<const unsigned char*>(text.data());
  if (text.size() < kByteBlockSize) {
    while (pos < text.size() && data[pos] < 0x80) ++pos;
    return pos;
  }
  const std::size_t lastBlock = text.size() - kByteBlockSize;
  for (; pos < text.size(); pos += kByteBlockSize) {
    const std::size_t at = std::min(pos, lastBlock);
    BlockMatches wide(loadUnsignedBlock(data + at) >= 0x80);
    wide.dropBefore(pos - at);
    if (wide.any()) return at + wide.first();
  }
  return text.size();
}

}  // namespace pellumar
