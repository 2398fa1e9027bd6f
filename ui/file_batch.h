#pragma once

#include <array>
#include <string>
#include <vector>

#include "processing/options.h"
#include "processing/settings.h"
#include "processing/window_system.h"

namespace pellumar {

class BatchProgress;

/// What became of one file of a run over several.
struct FileResult {
  enum class State { Written, Failed, Cancelled };

  std::string file;  ///< as dropped or given
  State state = State::Cancelled;
  std::string output;              ///< the cleaned copy, when written
  std::vector<std::string> notes;  ///< what a run on this file alone would have shown
  bool operator==(const FileResult&) const = default;
};

/// The port for one file of a run over several: the boxes' values as they
/// were when the run started, and messages kept for the summary instead of
/// shown one box at a time.
class GatheringWindowSystem : public WindowSystem {
 public:
  explicit GatheringWindowSystem(const std::array<bool, kOptionCount>& ticks) : ticks_(ticks) {}

  void showMessage(const std::string& text, MessageIcon icon,
                   const std::optional<std::string>& title) override;
  bool isTicked(Option option) override { return ticks_[static_cast<std::size_t>(option)]; }
  void setOpenButtonEnabled(bool) override {}

  const std::vector<std::string>& messages() const { return messages_; }

 private:
  std::array<bool, kOptionCount> ticks_;
  std::vector<std::string> messages_;
};

/// Cleans `files` one after another with the passes `ticks` selects. Before
/// each file `progress` may cancel the rest.
std::vector<FileResult> cleanEach(const std::vector<std::string>& files, const Settings& settings,
                                  const std::array<bool, kOptionCount>& ticks,
                                  BatchProgress& progress);

/// The one message that ends a run over several files: how many were cleaned,
/// then the files written, those that failed and those cancelled, each with
/// its messages indented below it. Lines end in CR LF, as the core's do.
std::string batchSummary(const std::vector<FileResult>& results);

}  // namespace pellumar
