#pragma once

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "processing/line_stage.h"

namespace pellumar {

/// A sink whose lines a stage takes on on a thread of its own, so that the
/// stages before it and the stage after it work at the same time. Lines go
/// over in batches, a few at most waiting, so memory does not grow with the
/// file.
///
/// The result is that of pushing each line through the stage in turn: the
/// stage sees the lines in order, and of two failures the one at the earlier
/// line stands. A failure of the stage comes back from `put` (for a line put
/// after it) or from `finish`, and the lines after it never reach the stage.
///
/// Where the stages before the sink are the slower side, the thread can take
/// a share of their work: given `before`, a copy of those stages that
/// changes lines alone, it takes some batches unprocessed (see
/// `takesUnprocessed`) and pushes their lines through `before` first.
class HandOffSink : public LineSink {
 public:
  /// Starts the thread, which pushes the lines put here through `stage` into
  /// `out`; neither may be touched by another thread until `finish` returns,
  /// nor may `before`.
  HandOffSink(LineStage& stage, LineSink& out, std::size_t batchBytes = std::size_t{1} << 16,
              LineStage* before = nullptr);
  /// Stops the thread, dropping what it has not yet taken.
  ~HandOffSink() override;
  HandOffSink(const HandOffSink&) = delete;
  HandOffSink& operator=(const HandOffSink&) = delete;

  void put(std::string& line) override;

  /// Whether the next line is to be put as it was read, for the thread to
  /// push through `before`, rather than through the putter's own stages.
  /// Asked before each line; it changes only when a batch is handed over,
  /// which it is when the thread has nothing else waiting.
  bool takesUnprocessed() const { return filling_.unprocessed; }

  /// After the last line: lets the stage finish into `out` and waits for it.
  /// Rethrows the stage's failure.
  void finish();

  /// Where the lines stop at a failure before the stage: the stage takes the
  /// lines put so far, but does not finish. Rethrows the stage's failure if
  /// it had one, else `failure`.
  [[noreturn]] void abandon(std::exception_ptr failure);

 private:
  struct Batch {
    std::string text;
    std::vector<std::size_t> ends;  // where each line of `text` ends
    bool unprocessed = false;       // its lines are still to go through `before_`
  };

  void handOver();
  void endAndWait(bool finishStage);
  void work();
  bool takeBatch(Batch& batch);

  LineStage& stage_;
  LineSink& out_;
  const std::size_t batchBytes_;
  LineStage* const before_;
  alignas(64) Batch filling_;

  alignas(64) std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Batch> full_;   // handed over, oldest first
  std::vector<Batch> spare_;  // emptied, for the next batch to reuse
  bool ended_ = false;        // no more lines will come
  bool finishStage_ = false;  // and the stage is to finish
  bool stop_ = false;         // drop what is left
  std::exception_ptr failure_;
  std::thread thread_;
};

}  // namespace pellumar
