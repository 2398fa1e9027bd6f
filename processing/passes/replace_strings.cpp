#include "processing/passes/replace_strings.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <optional>
#include <set>
#include <string_view>
#include <utility>

#include "processing/text/byte_block.h"

namespace pellumar {

namespace {

// Tables of up to 128 entries, which the loader never exceeds, keep a line's
// positions on the stack.
constexpr std::size_t kWordsOnStack = 2;
// How many moves the automaton holds in full, at four bytes each: the usual
// tables fit whole, and a state beyond follows its edges and failures.
constexpr std::size_t kFullMoveBudget = std::size_t{1} << 18;

bool anyBit(const std::uint64_t* bits, std::size_t words) {
  return std::any_of(bits, bits + words, [](std::uint64_t word) { return word != 0; });
}

// A pair of bytes as one number: the first in the low byte, as a 16-bit load
// reads it on a little-endian machine.
unsigned pairKey(unsigned char first, unsigned char second) {
  return static_cast<unsigned>(second) << 8 | first;
}

unsigned pairAt(const unsigned char* text) {
  std::uint16_t pair;
  std::memcpy(&pair, text, sizeof pair);
  if constexpr (std::endian::native == std::endian::big) pair = __builtin_bswap16(pair);
  return pair;
}

// The pair-mask bit of the from-texts of one or two bytes, which every
// byte lets through in third place.
constexpr std::uint32_t kShortBit = 1;
constexpr unsigned kThirdByteClasses = 31;

}  // namespace

// For each entry found, where its from-text first occurs in the line as it
// stands; and the entries a search still looks for. A bit each.
struct ReplacementTable::Found {
  Found(std::size_t entries, std::size_t words) {
    if (words > kWordsOnStack) {
      heap.resize(3 * words);
      present = heap.data();
      wanted = present + words;
      lost = wanted + words;
      atHeap.resize(entries);
      at = atHeap.data();
    }
    std::fill_n(present, words, 0);
  }
  Found(const Found&) = delete;
  Found& operator=(const Found&) = delete;

  bool has(std::size_t entry) const { return (present[entry / 64] >> (entry % 64) & 1) != 0; }

  // An occurrence of `entry` at `start`: kept when it is the entry's first,
  // and the entry is no longer searched for.
  void record(std::size_t entry, std::size_t start) {
    const std::uint64_t bit = std::uint64_t{1} << (entry % 64);
    wanted[entry / 64] &= ~bit;
    at[entry] = has(entry) ? std::min(at[entry], start) : start;
    present[entry / 64] |= bit;
  }

  std::array<std::uint64_t, 3 * kWordsOnStack> onStack;
  std::vector<std::uint64_t> heap;
  std::uint64_t* present = onStack.data();
  std::uint64_t* wanted = onStack.data() + kWordsOnStack;
  // Entries whose occurrence a replacement overwrote.
  std::uint64_t* lost = onStack.data() + 2 * kWordsOnStack;
  std::array<std::size_t, kWordsOnStack * 64> atOnStack;
  std::vector<std::size_t> atHeap;
  std::size_t* at = atOnStack.data();
};

ReplacementTable::ReplacementTable(const std::vector<TextPair>& entries)
    : entries_(entries),
      // At least one word, so that an empty table indexes real storage too.
      maskWords_(std::max<std::size_t>(1, (entries.size() + 63) / 64)),
      pairMask_(65536),
      probes_(entries) {
  std::fill(std::begin(thirdBits_), std::end(thirdBits_), kShortBit);
  unsigned thirdBytes = 0;
  edges_.emplace_back();
  ends_.resize(maskWords_);
  searched_.resize(maskWords_);
  empties_.resize(maskWords_);
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const std::string_view from(entries_[i].from);
    const std::uint64_t bit = std::uint64_t{1} << (i % 64);
    if (from.empty()) {
      emptyEntry_ = true;
      empties_[i / 64] |= bit;
      continue;
    }
    searched_[i / 64] |= bit;
    longest_ = std::max(longest_, from.size());
    const auto first = static_cast<unsigned char>(from[0]);
    if (from.size() == 1) {
      onlyByte_[first] = true;
      for (unsigned second = 0; second < 256; ++second)
        pairMask_[pairKey(first, static_cast<unsigned char>(second))] |= kShortBit;
    } else {
      const unsigned pair = pairKey(first, static_cast<unsigned char>(from[1]));
      if (from.size() == 2) {
        pairMask_[pair] |= kShortBit;
      } else {
        std::uint32_t& third = thirdBits_[static_cast<unsigned char>(from[2])];
        if (third == kShortBit) third |= 2u << (thirdBytes++ % kThirdByteClasses);
        pairMask_[pair] |= third & ~kShortBit;
      }
    }
    // A table the probes can search needs no automaton.
    if (!probes_.light()) addToTrie(from, i);
  }
  if (!probes_.light()) linkFailures();
  // The distinct starts: byte pairs, and single bytes (no second) that
  // start a one-byte from-text and so whatever follows them.
  std::set<std::pair<unsigned char, std::optional<unsigned char>>> starts;
  for (const TextPair& entry : entries_) {
    if (entry.from.empty()) continue;
    const auto first = static_cast<unsigned char>(entry.from[0]);
    starts.emplace(first, onlyByte_[first]
                              ? std::nullopt
                              : std::optional(static_cast<unsigned char>(entry.from[1])));
    if (starts.size() > kBlockStartsMost) break;
  }
  if (starts.size() > kBlockStartsMost) return;
  std::size_t pairs = 0;
  for (const auto& [first, second] : starts) {
    if (second) {
      blockFirst_[pairs] = ByteBlock{} + static_cast<char>(first);
      blockSecond_[pairs++] = ByteBlock{} + static_cast<char>(*second);
    } else {
      blockOnly_.push_back(ByteBlock{} + static_cast<char>(first));
    }
  }
  blockScan_ = blockScans(std::make_index_sequence<kBlockStartsMost + 1>())[pairs];
}

template <std::size_t... Pairs>
constexpr std::array<ReplacementTable::BlockScan, sizeof...(Pairs)> ReplacementTable::blockScans(
    std::index_sequence<Pairs...>) {
  return {&ReplacementTable::nextBlockCandidate<Pairs>...};
}

void ReplacementTable::addToTrie(std::string_view from, std::size_t entry) {
  State state = 0;
  for (const char c : from) {
    const auto byte = static_cast<unsigned char>(c);
    std::vector<Edge>& edges = edges_[state];
    auto edge = std::lower_bound(edges.begin(), edges.end(), byte,
                                 [](const Edge& e, unsigned char b) { return e.byte < b; });
    if (edge != edges.end() && edge->byte == byte) {
      state = edge->to;
      continue;
    }
    const auto added = static_cast<State>(edges_.size());
    edges.insert(edge, Edge{byte, added});
    edges_.emplace_back();
    ends_.resize(ends_.size() + maskWords_);
    state = added;
  }
  ends_[state * maskWords_ + entry / 64] |= std::uint64_t{1} << (entry % 64);
}

// Numbers the states breadth first, so that a state's failure, being
// shallower, comes before it; then links each state's failures and gives the
// first states, as many as the table's budget holds, their moves in full.
void ReplacementTable::linkFailures() {
  const std::size_t states = edges_.size();
  std::vector<State> order{0};
  order.reserve(states);
  for (std::size_t i = 0; i < order.size(); ++i) {
    for (const Edge& edge : edges_[order[i]]) order.push_back(edge.to);
  }
  std::vector<State> renumbered(states);
  for (std::size_t i = 0; i < states; ++i) renumbered[order[i]] = static_cast<State>(i);
  std::vector<std::vector<Edge>> edges(states);
  std::vector<std::uint64_t> ends(ends_.size());
  for (std::size_t i = 0; i < states; ++i) {
    edges[i] = std::move(edges_[order[i]]);
    for (Edge& edge : edges[i]) edge.to = renumbered[edge.to];
    std::copy_n(&ends_[order[i] * maskWords_], maskWords_, &ends[i * maskWords_]);
  }
  edges_ = std::move(edges);
  ends_ = std::move(ends);

  // Bytes in no from-text share class 0, which always leads back to the root.
  classes_ = 1;
  for (const std::vector<Edge>& out : edges_) {
    for (const Edge& edge : out) {
      if (byteClass_[edge.byte] == 0)
        byteClass_[edge.byte] = static_cast<std::uint16_t>(classes_++);
    }
  }
  fullStates_ = std::min(states, kFullMoveBudget / classes_);
  fullMoves_.assign(fullStates_ * classes_, 0);

  failure_.assign(states, 0);
  for (std::size_t state = 0; state < states; ++state) {
    if (state < fullStates_) {
      // A state moves as its failure does, except along its own edges.
      State* const moves = &fullMoves_[state * classes_];
      if (state != 0) std::copy_n(&fullMoves_[failure_[state] * classes_], classes_, moves);
      for (const Edge& edge : edges_[state]) moves[byteClass_[edge.byte]] = edge.to;
    }
    for (const Edge& edge : edges_[state]) {
      failure_[edge.to] = state == 0 ? 0 : step(failure_[state], edge.byte);
      for (std::size_t w = 0; w < maskWords_; ++w) {
        ends_[edge.to * maskWords_ + w] |= ends_[failure_[edge.to] * maskWords_ + w];
      }
    }
  }
  stateInfo_.assign(states, 0);
  for (std::size_t state = 0; state < states; ++state) {
    for (const Edge& edge : edges_[state])
      stateInfo_[edge.to] = ((stateInfo_[state] >> 1) + 1) << 1;
    if (anyBit(&ends_[state * maskWords_], maskWords_)) stateInfo_[state] |= 1;
  }
}

inline ReplacementTable::State ReplacementTable::child(State state, unsigned char byte) const {
  for (const Edge& edge : edges_[state]) {
    if (edge.byte == byte) return edge.to;
  }
  return 0;
}

inline ReplacementTable::State ReplacementTable::step(State state, unsigned char byte) const {
  for (;; state = failure_[state]) {
    if (state < fullStates_) return fullMoves_[state * classes_ + byteClass_[byte]];
    if (const State next = child(state, byte)) return next;
  }
}

// Whether a from-text may start at `at`, where three bytes at least are left.
inline bool ReplacementTable::mayStart(const unsigned char* at) const {
  return (pairMask_[pairAt(at)] & thirdBits_[at[2]]) != 0;
}

// Whether a from-text may start at `pos` and end by `end`.
inline bool ReplacementTable::mayStartAt(const unsigned char* text, std::size_t pos,
                                         std::size_t end) const {
  if (pos + 2 < end) return mayStart(text + pos);
  if (pos + 1 < end) return (pairMask_[pairAt(text + pos)] & kShortBit) != 0;
  return onlyByte_[text[pos]];
}

// The same as nextCandidate for a line of more than a block, looking for
// the table's starts a block at a time: its `Pairs` byte pairs, held in
// registers, and its single bytes.
template <std::size_t Pairs>
std::size_t ReplacementTable::nextBlockCandidate(const unsigned char* text, std::size_t pos,
                                                 std::size_t end) const {
  const auto* const data = reinterpret_cast<const char*>(text);
  ByteBlock first[Pairs + 1], second[Pairs + 1];
  std::copy_n(blockFirst_.begin(), Pairs, first);
  std::copy_n(blockSecond_.begin(), Pairs, second);
  // A block also reads the byte after it; the last may overlap the one
  // before, and its bytes before `pos` do not count.
  const std::size_t lastBlock = end - kByteBlockSize - 1;
  for (;; pos += kByteBlockSize) {
    const std::size_t at = std::min(pos, lastBlock);
    const ByteBlock here = loadBlock(data + at);
    const ByteBlock next = loadBlock(data + at + 1);
    ByteBlock starts{};
    for (std::size_t i = 0; i < Pairs; ++i) starts |= (here == first[i]) & (next == second[i]);
    for (const ByteBlock& only : blockOnly_) starts |= here == only;
    BlockMatches found(starts);
    for (found.dropBefore(pos - at); found.any(); found.dropFirst()) {
      const std::size_t start = at + found.first();
      if (mayStartAt(text, start, end)) return start;
    }
    if (at == lastBlock) break;
  }
  // The last byte, which only a one-byte from-text can start.
  return onlyByte_[text[end - 1]] ? end - 1 : end;
}

// The first position from `pos` on where a from-text may start, or `end`.
inline std::size_t ReplacementTable::nextCandidate(const unsigned char* text, std::size_t pos,
                                                   std::size_t end) const {
  if (blockScan_ && end > kByteBlockSize && pos < end) return (this->*blockScan_)(text, pos, end);
  if (end > 3) {
    // Two positions a step: the pair masks of both are looked up before
    // either is tested.
    const std::uint32_t* const pairs = pairMask_.data();
    for (const std::size_t last = end - 3; pos < last; pos += 2) {
      const std::uint32_t here = pairs[pairAt(text + pos)] & thirdBits_[text[pos + 2]];
      const std::uint32_t next = pairs[pairAt(text + pos + 1)] & thirdBits_[text[pos + 3]];
      if ((here | next) != 0) return here != 0 ? pos : pos + 1;
    }
  }
  for (; pos < end; ++pos) {
    if (mayStartAt(text, pos, end)) return pos;
  }
  return end;
}

// Records, for each wanted entry, the first occurrence of its from-text that
// lies wholly in [from, end), unless it already has an earlier one. Where no partial match is under
// way, the filter skips to where the next may start.
void ReplacementTable::find(std::string_view line, std::size_t from, std::size_t end,
                            Found& found) const {
  const auto* const text = reinterpret_cast<const unsigned char*>(line.data());
  if (probes_.light()) {
    findByProbes(text, from, end, found);
    return;
  }
  State state = 0;
  // The last position the filter let through.
  std::size_t candidate = from;
  for (std::size_t pos = from; pos < end;) {
    if (state == 0) {
      pos = nextCandidate(text, pos, end);
      if (pos == end) return;
      candidate = pos;
    } else if (mayStartAt(text, pos, end)) {
      candidate = pos;
    }
    state = step(state, text[pos++]);
    const std::uint32_t info = stateInfo_[state];
    if ((info & 1) != 0) {
      for (std::size_t w = 0; w < maskWords_; ++w) {
        for (std::uint64_t hits = ends_[state * maskWords_ + w] & found.wanted[w]; hits != 0;
             hits &= hits - 1) {
          const std::size_t entry = w * 64 + static_cast<std::size_t>(std::countr_zero(hits));
          found.record(entry, pos - entries_[entry].from.size());
        }
      }
      if (!anyBit(found.wanted, maskWords_)) return;
    }
    // The partial matches the state stands for start no earlier than its
    // depth back; when the filter let none of those positions through, none
    // can complete.
    if (candidate + (info >> 1) < pos) state = 0;
  }
}

// The same, comparing the from-texts that start at each position the filter
// lets through.
void ReplacementTable::findByProbes(const unsigned char* text, std::size_t from, std::size_t end,
                                    Found& found) const {
  for (std::size_t pos = nextCandidate(text, from, end); pos < end;
       pos = nextCandidate(text, pos + 1, end)) {
    bool any = false;
    probes_.match(text, pos, end, found.wanted, [&](std::size_t entry) {
      found.record(entry, pos);
      any = true;
    });
    if (any && !anyBit(found.wanted, maskWords_)) return;
  }
}

void ReplacementTable::apply(std::string& line) const {
  // An empty line contains nothing, not even the empty text.
  if (line.empty()) return;
  const auto* const text = reinterpret_cast<const unsigned char*>(line.data());
  const std::size_t first = longest_ == 0 ? line.size() : nextCandidate(text, 0, line.size());
  if (first == line.size() && !emptyEntry_) return;
  Found found(entries_.size(), maskWords_);
  std::copy(searched_.begin(), searched_.end(), found.wanted);
  find(line, first, line.size(), found);
  if (!anyBit(found.present, maskWords_) && !emptyEntry_) return;
  applyFound(line, found);
}

// The first entry from `entry` on that replaces something: one found in the
// line or one with an empty from-text.
std::size_t ReplacementTable::nextToApply(const Found& found, std::size_t entry) const {
  for (std::size_t w = entry / 64; w < maskWords_; ++w) {
    std::uint64_t bits = found.present[w] | empties_[w];
    if (w == entry / 64) bits &= ~std::uint64_t{0} << (entry % 64);
    if (bits != 0) return w * 64 + static_cast<std::size_t>(std::countr_zero(bits));
  }
  return entries_.size();
}

// Applies the entries in order. A replacement changes the line only from
// `pos` on, so a later entry's first occurrence stays where it was when it
// ends before `pos`, moves with the text when it starts after the replaced
// text, and otherwise is searched for again near the new text, where new
// occurrences can only be; an entry whose occurrence was overwritten is
// searched for to the end of the line.
void ReplacementTable::applyFound(std::string& line, Found& found) const {
  for (std::size_t entry = nextToApply(found, 0); entry < entries_.size() && !line.empty();
       entry = nextToApply(found, entry + 1)) {
    const TextPair& pair = entries_[entry];
    if (pair.from == pair.to) continue;
    const std::size_t pos = pair.from.empty() ? 0 : found.at[entry];
    line.replace(pos, pair.from.size(), pair.to);
    const std::size_t fromEnd = pos + pair.from.size();
    const std::size_t toEnd = pos + pair.to.size();
    bool overwritten = false;
    for (std::size_t w = 0; w < maskWords_; ++w) {
      found.lost[w] = 0;
      const std::size_t firstLater = w * 64 > entry ? 0 : entry + 1 - w * 64;
      const std::uint64_t later = firstLater >= 64 ? 0 : ~std::uint64_t{0} << firstLater;
      found.wanted[w] = searched_[w] & later;
      for (std::uint64_t bits = found.present[w] & later; bits != 0; bits &= bits - 1) {
        const std::size_t other = w * 64 + static_cast<std::size_t>(std::countr_zero(bits));
        std::size_t& at = found.at[other];
        if (at + entries_[other].from.size() <= pos) {
          found.wanted[w] &= ~(bits & -bits);
        } else if (at >= fromEnd) {
          at = at - fromEnd + toEnd;
        } else {
          overwritten = true;
          found.present[w] &= ~(bits & -bits);
          found.lost[w] |= bits & -bits;
        }
      }
    }
    if (!anyBit(found.wanted, maskWords_)) continue;
    const std::size_t start = pos >= longest_ - 1 ? pos - (longest_ - 1) : 0;
    find(line, start, std::min(line.size(), toEnd + longest_ - 1), found);
    if (!overwritten) continue;
    // Only the overwritten entries can occur beyond the new text's reach.
    for (std::size_t w = 0; w < maskWords_; ++w)
      found.wanted[w] = found.lost[w] & ~found.present[w];
    if (anyBit(found.wanted, maskWords_)) find(line, start, line.size(), found);
  }
}

}  // namespace pellumar
