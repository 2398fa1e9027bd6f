#include "processing/text/unified_diff.h"

#include <dtl/dtl.hpp>

#include <algorithm>
#include <cstddef>

namespace pellumar {

namespace {

constexpr std::size_t kContext = 3;

// One line of the edit script: ' ' kept, '-' removed, '+' added.
struct Edit {
  char mark;
  const std::string* line;
};

// "a,b" as diff -u writes a range: the count left out when it is 1, and an
// empty range placed after the line before it.
std::string range(std::size_t first, std::size_t count) {
  if (count == 1) return std::to_string(first);
  return std::to_string(count == 0 ? first - 1 : first) + "," + std::to_string(count);
}

}  // namespace

std::string unifiedDiff(const std::vector<std::string>& before,
                        const std::vector<std::string>& after, const std::string& fromName,
                        const std::string& toName) {
  dtl::Diff<std::string, std::vector<std::string>> diff(before, after);
  diff.compose();
  const auto script = diff.getSes().getSequence();
  std::vector<Edit> edits;
  edits.reserve(script.size());
  for (const auto& [line, info] : script) {
    const char mark = info.type == dtl::SES_ADD ? '+' : info.type == dtl::SES_DELETE ? '-' : ' ';
    edits.push_back({mark, &line});
  }
  // In each run of changes the removed lines come first, as diff prints them.
  for (auto run = edits.begin(); run != edits.end();) {
    const auto end = std::find_if(run, edits.end(), [](const Edit& e) { return e.mark == ' '; });
    std::stable_partition(run, end, [](const Edit& e) { return e.mark == '-'; });
    run = end == edits.end() ? end : end + 1;
  }

  std::string text;
  // Line numbers before and after at edits[i], counted from 1.
  std::size_t i = 0, lineBefore = 1, lineAfter = 1;
  const auto advance = [&](std::size_t to) {
    for (; i < to; ++i) {
      if (edits[i].mark != '+') ++lineBefore;
      if (edits[i].mark != '-') ++lineAfter;
    }
  };
  while (true) {
    std::size_t change = i;
    while (change < edits.size() && edits[change].mark == ' ') ++change;
    if (change == edits.size()) break;
    // A hunk starts up to three kept lines before its first change, and goes
    // on while the next change is no more than six kept lines away.
    advance(change - std::min(change - i, kContext));
    std::size_t end = change;
    for (;;) {
      while (end < edits.size() && edits[end].mark != ' ') ++end;
      std::size_t next = end;
      while (next < edits.size() && edits[next].mark == ' ') ++next;
      if (next == edits.size() || next - end > 2 * kContext) {
        end = std::min(next, end + kContext);
        break;
      }
      end = next;
    }
    std::size_t removed = 0, added = 0;
    for (std::size_t k = i; k < end; ++k) {
      if (edits[k].mark != '+') ++removed;
      if (edits[k].mark != '-') ++added;
    }
    if (text.empty()) text = "--- " + fromName + "\n+++ " + toName + "\n";
    text += "@@ -" + range(lineBefore, removed) + " +" + range(lineAfter, added) + " @@\n";
    for (std::size_t k = i; k < end; ++k) text += edits[k].mark + *edits[k].line + "\n";
    advance(end);
  }
  return text;
}

}  // namespace pellumar
