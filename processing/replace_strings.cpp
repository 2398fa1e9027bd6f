#include "processing/replace_strings.h"

#include <algorithm>
#include <array>
#include <bit>
#include <deque>
#include <optional>
#include <string_view>

#include "processing/line_stage.h"
#include "processing/staged_copy.h"

namespace pellumar {

namespace {

constexpr std::size_t kNowhere = std::string::npos;
// Tables up to this size, which the loader never exceeds, keep a line's
// positions on the stack.
constexpr std::size_t kEntriesOnStack = 128;

}  // namespace

// For each entry, where its from-text first occurs in the line as it stands;
// and the entries a search still looks for.
struct ReplacementTable::Found {
  Found(std::size_t entries, std::size_t words) {
    if (entries > kEntriesOnStack) {
      atHeap.resize(entries);
      wantedHeap.resize(words);
      at = atHeap.data();
      wanted = wantedHeap.data();
    }
    std::fill_n(at, entries, kNowhere);
    std::fill_n(wanted, words, 0);
  }
  Found(const Found&) = delete;
  Found& operator=(const Found&) = delete;

  void want(std::size_t entry) {
    wanted[entry / 64] |= std::uint64_t{1} << (entry % 64);
    ++remaining;
  }

  std::array<std::size_t, kEntriesOnStack> atOnStack;
  std::array<std::uint64_t, kEntriesOnStack / 64> wantedOnStack;
  std::vector<std::size_t> atHeap;
  std::vector<std::uint64_t> wantedHeap;
  std::size_t* at = atOnStack.data();
  std::uint64_t* wanted = wantedOnStack.data();
  std::size_t remaining = 0;
};

ReplacementTable::ReplacementTable(const std::vector<TextPair>& entries)
    : entries_(entries), maskWords_((entries.size() + 63) / 64), pairStarts_(65536 / 64) {
  edges_.emplace_back();
  ends_.resize(maskWords_);
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const std::string_view from(entries_[i].from);
    if (from.empty()) {
      emptyEntry_ = true;
      continue;
    }
    longest_ = std::max(longest_, from.size());
    const auto first = static_cast<unsigned char>(from[0]);
    if (from.size() == 1) {
      onlyByte_[first] = true;
      for (unsigned second = 0; second < 256; ++second) {
        const unsigned pair = first << 8 | second;
        pairStarts_[pair / 64] |= std::uint64_t{1} << (pair % 64);
      }
    } else {
      const unsigned pair = first << 8 | static_cast<unsigned char>(from[1]);
      pairStarts_[pair / 64] |= std::uint64_t{1} << (pair % 64);
    }
    addToTrie(from, i);
  }
  linkFailures();
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

// Breadth first, so that a state's failure, being shallower, is complete
// before the state takes over its ends.
void ReplacementTable::linkFailures() {
  failure_.assign(edges_.size(), 0);
  for (const Edge& edge : edges_[0]) rootMoves_[edge.byte] = edge.to;
  std::deque<State> queue;
  for (const Edge& edge : edges_[0]) queue.push_back(edge.to);
  while (!queue.empty()) {
    const State state = queue.front();
    queue.pop_front();
    for (const Edge& edge : edges_[state]) {
      failure_[edge.to] = step(failure_[state], edge.byte);
      for (std::size_t w = 0; w < maskWords_; ++w) {
        ends_[edge.to * maskWords_ + w] |= ends_[failure_[edge.to] * maskWords_ + w];
      }
      queue.push_back(edge.to);
    }
  }
  endsAny_.resize(edges_.size());
  for (std::size_t state = 0; state < edges_.size(); ++state) {
    const auto* ends = &ends_[state * maskWords_];
    endsAny_[state] = std::any_of(ends, ends + maskWords_, [](std::uint64_t w) { return w != 0; });
  }
}

inline ReplacementTable::State ReplacementTable::child(State state, unsigned char byte) const {
  for (const Edge& edge : edges_[state]) {
    if (edge.byte == byte) return edge.to;
  }
  return 0;
}

inline ReplacementTable::State ReplacementTable::step(State state, unsigned char byte) const {
  for (; state != 0; state = failure_[state]) {
    if (const State next = child(state, byte)) return next;
  }
  return rootMoves_[byte];
}

// The first position from `pos` on where a from-text may start and end by
// `end`, or `end`.
inline std::size_t ReplacementTable::nextCandidate(const unsigned char* text, std::size_t pos,
                                                   std::size_t end) const {
  if (pos >= end) return end;
  for (; pos + 1 < end; ++pos) {
    const unsigned pair = text[pos] << 8 | text[pos + 1];
    if (pairStarts_[pair / 64] >> (pair % 64) & 1) return pos;
  }
  return onlyByte_[text[pos]] ? pos : end;
}

// Records, for each wanted entry, the first occurrence of its from-text that
// lies wholly in [from, end), unless it already has an earlier one. Between
// partial matches the automaton is at its root, and the pair filter skips to
// where the next match may start.
void ReplacementTable::find(std::string_view line, std::size_t from, std::size_t end,
                            Found& found) const {
  const auto* const text = reinterpret_cast<const unsigned char*>(line.data());
  State state = 0;
  for (std::size_t pos = from; pos < end;) {
    if (state == 0) {
      pos = nextCandidate(text, pos, end);
      if (pos == end) return;
    }
    state = step(state, text[pos++]);
    if (!endsAny_[state]) continue;
    for (std::size_t w = 0; w < maskWords_; ++w) {
      std::uint64_t hits = ends_[state * maskWords_ + w] & found.wanted[w];
      found.wanted[w] &= ~hits;
      for (; hits != 0; hits &= hits - 1) {
        const std::size_t entry = w * 64 + static_cast<std::size_t>(std::countr_zero(hits));
        found.at[entry] = std::min(found.at[entry], pos - entries_[entry].from.size());
        --found.remaining;
      }
    }
    if (found.remaining == 0) return;
  }
}

void ReplacementTable::apply(std::string& line) const {
  // An empty line contains nothing, not even the empty text.
  if (line.empty()) return;
  const auto* const text = reinterpret_cast<const unsigned char*>(line.data());
  const std::size_t first = longest_ == 0 ? line.size() : nextCandidate(text, 0, line.size());
  if (first == line.size() && !emptyEntry_) return;
  Found found(entries_.size(), maskWords_);
  for (std::size_t entry = 0; entry < entries_.size(); ++entry) {
    if (!entries_[entry].from.empty()) found.want(entry);
  }
  const std::size_t searched = found.remaining;
  find(line, first, line.size(), found);
  if (found.remaining == searched && !emptyEntry_) return;
  applyFound(line, found);
}

// Applies the entries in order. A replacement changes the line only from
// `pos` on, so a later entry's first occurrence stays where it was when it
// ends before `pos`, moves with the text when it starts after the replaced
// text, and otherwise is searched for again: near the new text, where new
// occurrences can only be, or to the end of the line when the old one was
// overwritten.
void ReplacementTable::applyFound(std::string& line, Found& found) const {
  for (std::size_t entry = 0; entry < entries_.size() && !line.empty(); ++entry) {
    const TextPair& pair = entries_[entry];
    const std::size_t pos = pair.from.empty() ? 0 : found.at[entry];
    if (pos == kNowhere || pair.from == pair.to) continue;
    line.replace(pos, pair.from.size(), pair.to);
    const std::size_t fromEnd = pos + pair.from.size();
    const std::size_t toEnd = pos + pair.to.size();
    bool overwritten = false;
    found.remaining = 0;
    std::fill_n(found.wanted, maskWords_, 0);
    for (std::size_t later = entry + 1; later < entries_.size(); ++later) {
      const std::size_t length = entries_[later].from.size();
      std::size_t& at = found.at[later];
      if (length == 0 || (at != kNowhere && at + length <= pos)) continue;
      if (at != kNowhere && at >= fromEnd) {
        at = at - fromEnd + toEnd;
      } else {
        overwritten = overwritten || at != kNowhere;
        at = kNowhere;
      }
      found.want(later);
    }
    if (found.remaining == 0) continue;
    const std::size_t start = pos >= longest_ - 1 ? pos - (longest_ - 1) : 0;
    const std::size_t end = overwritten ? line.size() : std::min(line.size(), toEnd + longest_ - 1);
    find(line, start, end, found);
  }
}

void replaceFirstOccurrences(const std::vector<TextPair>& replacements, std::string& line) {
  ReplacementTable(replacements).apply(line);
}

void replaceStrings(RunContext& run) {
  std::optional<ReplacementTable> table;
  if (run.window.isTicked(Option::ReplaceStrings)) table.emplace(run.settings.replacements);
  auto rule = [&table](std::string& line) {
    if (table) table->apply(line);
  };
  LineRuleStage<decltype(rule)> stage(rule);
  rewriteOutput(run, stage);
}

}  // namespace pellumar
