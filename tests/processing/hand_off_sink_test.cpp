// Lines handed to a stage on another thread arrive as if pushed in turn,
// whichever thread ran the stages before it, and of two failures the one at
// the earlier line stands.

#include "processing/hand_off_sink.h"

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <thread>

#include "tests/support/stage_runner.h"

namespace pellumar {
namespace {

using testing::Lines;
using testing::VectorSink;

struct Failure : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Holds every second line back until the next, marks each line it hands on
// and adds one at the end; fails at line `failAt` (from 1), if given.
class HoldingStage : public LineStage {
 public:
  explicit HoldingStage(std::optional<std::size_t> failAt = {}) : failAt_(failAt) {}
  void push(std::string& line, LineSink& out) override {
    seen.push_back(line);
    if (failAt_ && seen.size() == *failAt_) throw Failure("stage at " + line);
    if (held_) {
      out.put(*held_ += "'");
      held_.reset();
      out.put(line += "'");
    } else {
      held_ = line;
    }
  }
  void finish(LineSink& out) override {
    finished = true;
    if (held_) out.put(*held_ += "'");
    std::string end = "end";
    out.put(end);
  }
  Lines seen;
  bool finished = false;

 private:
  std::optional<std::size_t> failAt_;
  std::optional<std::string> held_;
};

// The stages before the sink, of which the producer and the thread each
// have a copy: marks each line, and fails at the line `failAt`, if given.
class MarkingStage : public LineStage {
 public:
  explicit MarkingStage(std::string failAt = {}) : failAt_(std::move(failAt)) {}
  void push(std::string& line, LineSink& out) override {
    if (!failAt_.empty() && line == failAt_) throw Failure("before at " + line);
    if (std::this_thread::get_id() != producer_) ++offThread;
    out.put(line += "+");
  }
  bool changesLinesAlone() const override { return true; }
  std::size_t offThread = 0;

 private:
  std::string failAt_;
  std::thread::id producer_ = std::this_thread::get_id();
};

Lines numbered(std::size_t count) {
  Lines lines;
  for (std::size_t i = 1; i <= count; ++i)
    lines.push_back(std::string(i % 4, 'x') + std::to_string(i));
  return lines;
}

// Puts `input` into a sink feeding `stage`; `producerFailsAt` (from 1) stops
// the putting there with a failure of its own, given to abandon. Returns the
// message of the failure that came back, if any.
// With `before`, the lines go through it first, the producer's copy or the
// thread's `beforeCopy`, as the sink asks.
std::optional<std::string> handOff(HoldingStage& stage, VectorSink& out, const Lines& input,
                                   std::size_t batchBytes, std::size_t producerFailsAt = 0,
                                   MarkingStage* before = nullptr,
                                   MarkingStage* beforeCopy = nullptr) {
  try {
    HandOffSink sink(stage, out, batchBytes, beforeCopy);
    try {
      std::string line;
      for (std::size_t i = 0; i < input.size(); ++i) {
        if (i + 1 == producerFailsAt) throw Failure("producer at " + input[i]);
        line = input[i];
        if (before && !sink.takesUnprocessed()) {
          before->push(line, sink);
        } else {
          sink.put(line);
        }
      }
    } catch (...) {
      sink.abandon(std::current_exception());
    }
    sink.finish();
  } catch (const Failure& failure) {
    return failure.what();
  }
  return std::nullopt;
}

TEST(HandOffSink, LinesArriveInOrderWhateverTheBatchSize) {
  for (const std::size_t count : {0, 1, 2, 7, 3000}) {
    const Lines input = numbered(count);
    HoldingStage direct;
    const Lines expected = testing::runLines(direct, input);
    for (const std::size_t batchBytes : {0, 1, 10, 1 << 16}) {
      SCOPED_TRACE(::testing::Message() << count << " lines, batches of " << batchBytes);
      HoldingStage stage;
      VectorSink out;
      EXPECT_EQ(handOff(stage, out, input, batchBytes), std::nullopt);
      EXPECT_EQ(out.lines, expected);
      EXPECT_TRUE(stage.finished);
    }
  }
}

// Every line goes through one copy of the stages before, once, in order,
// whichever thread's copy that is; the thread takes the first batch at least.
TEST(HandOffSink, TheThreadTakesOnTheStagesBeforeWithoutChangingTheResult) {
  for (const std::size_t count : {1, 2, 7, 3000}) {
    const Lines input = numbered(count);
    MarkingStage directBefore;
    HoldingStage direct;
    const Lines expected = testing::runLines(direct, testing::runLines(directBefore, input));
    for (const std::size_t batchBytes : {0, 1, 10, 1 << 16}) {
      SCOPED_TRACE(::testing::Message() << count << " lines, batches of " << batchBytes);
      MarkingStage before, beforeCopy;
      HoldingStage stage;
      VectorSink out;
      EXPECT_EQ(handOff(stage, out, input, batchBytes, 0, &before, &beforeCopy), std::nullopt);
      EXPECT_EQ(out.lines, expected);
      EXPECT_EQ(before.offThread, 0u);
      EXPECT_GE(beforeCopy.offThread, 1u);
    }
  }
}

// Which failure stands and how far each side got: the stage sees every line
// before the failure that stands, and none after. The stages before the
// sink, in either copy, fail at a line before the stage sees it.
TEST(HandOffSink, TheFailureAtTheEarlierLineStands) {
  struct Case {
    std::size_t beforeFailsAt, stageFailsAt, producerFailsAt;
    const char* failure;
    std::size_t linesSeen;
  };
  const Case cases[] = {
      {0, 0, 0, nullptr, 3000},
      {0, 0, 1, "producer at x1", 0},
      {0, 0, 2500, "producer at 2500", 2499},
      {0, 5, 0, "stage at x5+", 5},
      {0, 2999, 0, "stage at xxx2999+", 2999},
      {0, 40, 2500, "stage at 40+", 40},
      {0, 2500, 2500, "producer at 2500", 2499},
      {0, 2499, 2500, "stage at xxx2499+", 2499},
      {1, 0, 0, "before at x1", 0},
      {1500, 0, 0, "before at 1500", 1499},
      {2999, 0, 2999, "producer at xxx2999", 2998},
      {1500, 1500, 0, "before at 1500", 1499},
      {1500, 1501, 1502, "before at 1500", 1499},
      {1501, 1500, 0, "stage at 1500+", 1500},
      {2000, 0, 1000, "producer at 1000", 999},
  };
  for (const Case& c : cases) {
    for (const bool shared : {false, true}) {
      // Without a copy for the thread, the producer runs every line through.
      for (const std::size_t batchBytes : {0, 10, 1 << 16}) {
        SCOPED_TRACE(::testing::Message()
                     << "before fails at " << c.beforeFailsAt << ", stage at " << c.stageFailsAt
                     << ", producer at " << c.producerFailsAt << ", batches of " << batchBytes
                     << (shared ? ", shared" : ""));
        const Lines input = numbered(3000);
        const std::string failAt = c.beforeFailsAt ? input[c.beforeFailsAt - 1] : "";
        MarkingStage before(failAt), beforeCopy(failAt);
        HoldingStage stage(c.stageFailsAt ? std::optional(c.stageFailsAt) : std::nullopt);
        VectorSink out;
        const auto failure = handOff(stage, out, input, batchBytes, c.producerFailsAt, &before,
                                     shared ? &beforeCopy : nullptr);
        EXPECT_EQ(failure, c.failure ? std::optional<std::string>(c.failure) : std::nullopt);
        EXPECT_EQ(stage.seen.size(), c.linesSeen);
        EXPECT_EQ(stage.finished, c.failure == nullptr);
      }
    }
  }
}

// A sink dropped without finish, as when the producer's caller unwinds,
// stops the thread.
TEST(HandOffSink, DroppedUnfinishedStopsTheStage) {
  HoldingStage stage;
  VectorSink out;
  {
    HandOffSink sink(stage, out, 1);
    std::string line;
    for (const std::string& text : numbered(100)) sink.put(line = text);
  }
  EXPECT_FALSE(stage.finished);
  EXPECT_LE(stage.seen.size(), 100u);
}

}  // namespace
}  // namespace pellumar
