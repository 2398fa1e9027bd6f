#include "processing/passes/start_probes.h"

#include <string_view>

namespace pellumar {

namespace {

// The most words compared at one position, over all the from-texts of a
// group: enough for a dozen words that share their first letters.
constexpr std::size_t kGroupWordsMost = 16;

}  // namespace

StartProbes::StartProbes(const std::vector<TextPair>& entries)
    : byteGroup_(256), pairGroup_(65536) {
  // Each start's probes, in the order the starts first appear.
  std::vector<std::vector<Probe>> groups;
  std::vector<std::size_t> words;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::string_view from(entries[i].from);
    if (from.empty()) continue;
    const auto first = static_cast<unsigned char>(from[0]);
    std::uint16_t& group = from.size() == 1
                               ? byteGroup_[first]
                               : pairGroup_[first | static_cast<unsigned char>(from[1]) << 8];
    if (group == 0) {
      if (groups.size() == 65535) {
        light_ = false;
        return;
      }
      groups.emplace_back();
      words.push_back(0);
      group = static_cast<std::uint16_t>(groups.size());
    }
    const std::string_view rest = from.size() > 8 ? from.substr(8) : std::string_view();
    // The bytes of a head that the from-text fills, counted from the lowest.
    const std::uint64_t mask =
        from.size() >= 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * from.size())) - 1;
    groups[group - 1].push_back(Probe{
        headOf(reinterpret_cast<const unsigned char*>(from.data()), from.size()), mask,
        static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(from.size()), rests_.size()});
    rests_ += rest;
    words[group - 1] += (from.size() + 7) / 8;
    if (words[group - 1] > kGroupWordsMost) {
      light_ = false;
      return;
    }
  }
  groupStart_.push_back(0);
  for (const std::vector<Probe>& group : groups) {
    probes_.insert(probes_.end(), group.begin(), group.end());
    groupStart_.push_back(static_cast<std::uint32_t>(probes_.size()));
  }
}

}  // namespace pellumar
