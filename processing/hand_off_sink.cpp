#include "processing/hand_off_sink.h"

#include <utility>

namespace pellumar {

namespace {

// Batches handed over and not yet taken: enough to keep both threads busy
// when one runs ahead for a moment.
constexpr std::size_t kBatchesWaiting = 3;

}  // namespace

HandOffSink::HandOffSink(LineStage& stage, LineSink& out, std::size_t batchBytes, LineStage* before)
    : stage_(stage), out_(out), batchBytes_(batchBytes), before_(before) {
  // The thread has nothing to do yet: the first batch is its to process.
  filling_.unprocessed = before_ != nullptr;
  thread_ = std::thread([this] { work(); });
}

HandOffSink::~HandOffSink() {
  if (!thread_.joinable()) return;
  {
    const std::lock_guard lock(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void HandOffSink::put(std::string& line) {
  filling_.text += line;
  filling_.ends.push_back(filling_.text.size());
  if (filling_.text.size() >= batchBytes_) handOver();
}

void HandOffSink::finish() { endAndWait(true); }

void HandOffSink::abandon(std::exception_ptr failure) {
  endAndWait(false);
  std::rethrow_exception(std::move(failure));
}

// Queues the batch being filled, waiting while too many wait already.
// Rethrows the stage's failure, which ends the thread.
void HandOffSink::handOver() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return full_.size() < kBatchesWaiting || failure_; });
  if (failure_) {
    lock.unlock();
    endAndWait(false);  // rethrows
    return;
  }
  full_.push_back(std::move(filling_));
  filling_ = Batch();
  if (!spare_.empty()) {
    filling_ = std::move(spare_.back());
    spare_.pop_back();
  }
  // When the thread already took every batch before this one, it is the
  // faster side: it gets the next batch to process from the start. Two
  // batches waiting or more, and the lines go through the putter's stages
  // again; so each side soon does the share of the work it keeps up with.
  filling_.unprocessed = before_ != nullptr && full_.size() == 1;
  lock.unlock();
  changed_.notify_all();
}

// Hands over the last lines, ends the thread and rethrows its failure.
void HandOffSink::endAndWait(bool finishStage) {
  if (thread_.joinable()) {
    {
      const std::lock_guard lock(mutex_);
      if (!failure_ && !filling_.ends.empty()) full_.push_back(std::move(filling_));
      filling_ = Batch();
      ended_ = true;
      finishStage_ = finishStage;
    }
    changed_.notify_all();
    thread_.join();
  }
  if (failure_) std::rethrow_exception(failure_);
}

// Waits for the next batch; false once none will come.
bool HandOffSink::takeBatch(Batch& batch) {
  std::unique_lock lock(mutex_);
  if (!batch.ends.empty()) {
    batch.text.clear();
    batch.ends.clear();
    spare_.push_back(std::move(batch));
  }
  changed_.notify_all();
  changed_.wait(lock, [this] { return !full_.empty() || ended_ || stop_; });
  if (stop_ || full_.empty()) return false;
  batch = std::move(full_.front());
  full_.erase(full_.begin());
  return true;
}

void HandOffSink::work() {
  try {
    Batch batch;
    std::string line;
    ChainedSink throughStage(stage_, out_);
    while (takeBatch(batch)) {
      std::size_t start = 0;
      for (const std::size_t end : batch.ends) {
        line.assign(batch.text, start, end - start);
        if (batch.unprocessed) {
          before_->push(line, throughStage);
        } else {
          stage_.push(line, out_);
        }
        start = end;
      }
    }
    bool finishStage = false;
    {
      const std::lock_guard lock(mutex_);
      finishStage = finishStage_ && !stop_;
    }
    if (finishStage) stage_.finish(out_);
  } catch (...) {
    {
      const std::lock_guard lock(mutex_);
      failure_ = std::current_exception();
    }
    changed_.notify_all();
  }
}

}  // namespace pellumar
