#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "processing/passes/start_probes.h"
#include "processing/passes/text_pair.h"
#include "processing/text/byte_block.h"

namespace pellumar {

/// The replacement table, ready to apply to many lines.
class ReplacementTable {
 public:
  explicit ReplacementTable(const std::vector<TextPair>& entries);

  /// Replaces the first occurrence of each entry's from-text, entry by entry
  /// in table order, each entry searching the line as the earlier ones left it.
  void apply(std::string& line) const;

 private:
  struct Found;
  using State = std::uint32_t;

  void addToTrie(std::string_view from, std::size_t entry);
  void linkFailures();
  State child(State state, unsigned char byte) const;
  State step(State state, unsigned char byte) const;
  bool mayStart(const unsigned char* at) const;
  bool mayStartAt(const unsigned char* text, std::size_t pos, std::size_t end) const;
  std::size_t nextCandidate(const unsigned char* text, std::size_t pos, std::size_t end) const;
  void find(std::string_view line, std::size_t from, std::size_t end, Found& found) const;
  void findByProbes(const unsigned char* text, std::size_t from, std::size_t end,
                    Found& found) const;
  std::size_t nextToApply(const Found& found, std::size_t entry) const;
  void applyFound(std::string& line, Found& found) const;

  std::vector<TextPair> entries_;
  std::size_t maskWords_ = 0;
  std::size_t longest_ = 0;
  bool emptyEntry_ = false;
  // The entries with a from-text to search for, and those without, a bit each.
  std::vector<std::uint64_t> searched_, empties_;

  // Per pair of bytes, what may start with it: bit 0 when a from-text of one
  // or two bytes does (a one-byte text starts every pair it begins), and for
  // the longer ones the bit of their third byte's class. Each byte that is
  // some from-text's third has a class of its own, up to 31 of them; its
  // thirdBits_ are its class's bit and bit 0, a byte that is none's has only
  // bit 0. Most positions are ruled out by one look at the pair and the byte
  // after.
  std::vector<std::uint32_t> pairMask_;
  std::uint32_t thirdBits_[256];
  bool onlyByte_[256] = {};
  // For a table with few starts, the same looked for sixteen bytes at a time:
  // its byte pairs, as many as nextBlockCandidate's instance in blockScan_
  // takes, and its single bytes.
  using BlockScan = std::size_t (ReplacementTable::*)(const unsigned char*, std::size_t,
                                                      std::size_t) const;
  template <std::size_t Pairs>
  std::size_t nextBlockCandidate(const unsigned char* text, std::size_t pos, std::size_t end) const;
  template <std::size_t... Pairs>
  static constexpr std::array<BlockScan, sizeof...(Pairs)> blockScans(
      std::index_sequence<Pairs...>);
  // Up to this many starts (byte pairs, or single bytes) are looked for a
  // block at a time; more would cost more than a byte at a time.
  static constexpr std::size_t kBlockStartsMost = 8;
  std::array<ByteBlock, kBlockStartsMost> blockFirst_{}, blockSecond_{};
  std::vector<ByteBlock> blockOnly_;
  BlockScan blockScan_ = nullptr;
  // Where the filter lets a position through, the from-texts that start
  // there compared whole, unless the table is searched by the automaton.
  StartProbes probes_;

  // The from-texts as one Aho-Corasick automaton, made only for a table the
  // probes do not search: the trie of the texts with failure links, numbered
  // breadth first from the root, 0. The first states' moves are held in full, a
  // row per state over classes of bytes.
  struct Edge {
    unsigned char byte;
    State to;
  };
  std::vector<std::vector<Edge>> edges_;
  std::uint16_t byteClass_[256] = {};
  std::size_t classes_ = 1;
  std::size_t fullStates_ = 0;
  std::vector<State> fullMoves_;
  std::vector<State> failure_;
  // Per state, the entries whose from-text ends there (with those of its
  // failure chain), a bit each.
  std::vector<std::uint64_t> ends_;
  // Per state, its depth times two, plus one when some from-text ends there.
  std::vector<std::uint32_t> stateInfo_;
};

}  // namespace pellumar
