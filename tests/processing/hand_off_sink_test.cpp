// Lines handed to a stage on another thread arrive as if pushed in turn,
// and of two failures the one at the earlier line stands.

#include "processing/hand_off_sink.h"

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string>

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

Lines numbered(std::size_t count) {
  Lines lines;
  for (std::size_t i = 1; i <= count; ++i)
    lines.push_back(std::string(i % 4, 'x') + std::to_string(i));
  return lines;
}

// Puts `input` into a sink feeding `stage`; `producerFailsAt` (from 1) stops
// the putting there with a failure of its own, given to abandon. Returns the
// message of the failure that came back, if any.
std::optional<std::string> handOff(HoldingStage& stage, VectorSink& out, const Lines& input,
                                   std::size_t batchBytes, std::size_t producerFailsAt = 0) {
  try {
    HandOffSink sink(stage, out, batchBytes);
    try {
      std::string line;
      for (std::size_t i = 0; i < input.size(); ++i) {
        if (i + 1 == producerFailsAt) throw Failure("producer at " + input[i]);
        sink.put(line = input[i]);
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

// Which failure stands and how far each side got: the stage sees every line
// before the producer's failure, and none after its own.
TEST(HandOffSink, TheFailureAtTheEarlierLineStands) {
  struct Case {
    std::size_t stageFailsAt, producerFailsAt;
    const char* failure;
    std::size_t linesSeen;
  };
  const Case cases[] = {
      {0, 0, nullptr, 3000},
      {0, 1, "producer at x1", 0},
      {0, 2500, "producer at 2500", 2499},
      {5, 0, "stage at x5", 5},
      {2999, 0, "stage at xxx2999", 2999},
      {40, 2500, "stage at 40", 40},
      {2500, 2500, "producer at 2500", 2499},
      {2499, 2500, "stage at xxx2499", 2499},
  };
  for (const Case& c : cases) {
    for (const std::size_t batchBytes : {0, 10, 1 << 16}) {
      SCOPED_TRACE(::testing::Message() << "stage fails at " << c.stageFailsAt << ", producer at "
                                        << c.producerFailsAt << ", batches of " << batchBytes);
      HoldingStage stage(c.stageFailsAt ? std::optional(c.stageFailsAt) : std::nullopt);
      VectorSink out;
      const auto failure = handOff(stage, out, numbered(3000), batchBytes, c.producerFailsAt);
      EXPECT_EQ(failure, c.failure ? std::optional<std::string>(c.failure) : std::nullopt);
      EXPECT_EQ(stage.seen.size(), c.linesSeen);
      EXPECT_EQ(stage.finished, c.failure == nullptr);
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
