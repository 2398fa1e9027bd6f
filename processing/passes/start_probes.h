#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "processing/passes/text_pair.h"

namespace pellumar {

/// The from-texts grouped by how they start: by their one byte, or by their
/// first two. Each holds its first eight bytes as a number, so that where the
/// replacement filter lets a position through, the few from-texts that start
/// there are compared whole, a word at a time.
class StartProbes {
 public:
  explicit StartProbes(const std::vector<TextPair>& entries);

  /// Whether every group is cheap enough to compare at each position it
  /// starts. A table whose from-texts are long and start alike is searched
  /// better by an automaton, which looks at each byte once.
  bool light() const { return light_; }

  /// Calls `found(entry)` for each entry still `wanted` (a bit each) whose
  /// from-text occurs at `pos` and ends by `end`.
  template <typename Found>
  void match(const unsigned char* text, std::size_t pos, std::size_t end,
             const std::uint64_t* wanted, Found&& found) const {
    const std::size_t left = end - pos;
    const std::uint64_t head = headOf(text + pos, left);
    if (const std::uint16_t group = byteGroup_[text[pos]])
      matchGroup(group, text + pos, left, head, wanted, found);
    if (left < 2) return;
    if (const std::uint16_t group = pairGroup_[text[pos] | text[pos + 1] << 8])
      matchGroup(group, text + pos, left, head, wanted, found);
  }

 private:
  // The first eight of the `size` bytes at `bytes`, or all when fewer, as one
  // number: the first byte lowest, as a little-endian load reads them, and
  // zeros after the last.
  static std::uint64_t headOf(const unsigned char* bytes, std::size_t size) {
    std::uint64_t head = 0;
    if (size >= 8) {
      std::memcpy(&head, bytes, 8);
      if constexpr (std::endian::native == std::endian::big) head = __builtin_bswap64(head);
    } else {
      // A byte at a time: a call to memcpy would cost more than these few.
      for (std::size_t i = 0; i < size; ++i) head |= std::uint64_t{bytes[i]} << (8 * i);
    }
    return head;
  }

  struct Probe {
    std::uint64_t head;  // headOf the from-text
    std::uint64_t mask;  // which bytes of `head` the from-text has
    std::uint32_t entry;
    std::uint32_t size;
    std::size_t rest;  // where in `rests_` the bytes after the eighth are
  };

  template <typename Found>
  void matchGroup(std::uint16_t group, const unsigned char* at, std::size_t left,
                  std::uint64_t head, const std::uint64_t* wanted, Found& found) const {
    for (std::size_t i = groupStart_[group - 1]; i < groupStart_[group]; ++i) {
      const Probe& probe = probes_[i];
      // The first eight bytes rule out most. Past the end of the line the
      // head holds zeros, which a longer from-text holding NULs would match.
      if ((head & probe.mask) != probe.head || probe.size > left ||
          (wanted[probe.entry / 64] >> (probe.entry % 64) & 1) == 0)
        continue;
      if (probe.size <= 8 || std::memcmp(at + 8, rests_.data() + probe.rest, probe.size - 8) == 0)
        found(probe.entry);
    }
  }

  // Group numbers start at 1; 0 marks a start no from-text has.
  std::vector<std::uint16_t> byteGroup_, pairGroup_;
  // Group g holds probes_[groupStart_[g - 1]] up to probes_[groupStart_[g]].
  std::vector<std::uint32_t> groupStart_;
  std::vector<Probe> probes_;
  std::string rests_;
  bool light_ = true;
};

}  // namespace pellumar
