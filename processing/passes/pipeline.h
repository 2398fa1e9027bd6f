#pragma once

#include <memory>
#include <vector>

#include "processing/passes/line_stage.h"

namespace pellumar {

/// Several stages run as one: each line goes through them in the order they
/// were added, and `finish` lets each stage hand on what it still holds.
class Pipeline : public LineStage {
 public:
  void add(std::unique_ptr<LineStage> stage) {
    stages_.push_back(std::move(stage));
    linkedTo_ = nullptr;
  }

  void push(std::string& line, LineSink& out) override {
    if (linkedTo_ != &out) link(out);
    entry_->put(line);
  }

  void finish(LineSink& out) override {
    if (linkedTo_ != &out) link(out);
    for (std::size_t i = 0; i < stages_.size(); ++i) stages_[i]->finish(*after_[i]);
  }

 private:
  // Chains the stages so that the last sends its lines to `out`.
  void link(LineSink& out) {
    const std::size_t n = stages_.size();
    chained_.clear();
    chained_.reserve(n);
    after_.assign(n, &out);
    for (std::size_t i = n; i-- > 1;) {
      chained_.push_back(std::make_unique<ChainedSink>(*stages_[i], *after_[i]));
      after_[i - 1] = chained_.back().get();
    }
    if (n == 0) {
      entry_ = &out;
    } else {
      chained_.push_back(std::make_unique<ChainedSink>(*stages_[0], *after_[0]));
      entry_ = chained_.back().get();
    }
    linkedTo_ = &out;
  }

  std::vector<std::unique_ptr<LineStage>> stages_;
  std::vector<std::unique_ptr<ChainedSink>> chained_;
  std::vector<LineSink*> after_;  // where stage i sends its lines
  LineSink* entry_ = nullptr;
  LineSink* linkedTo_ = nullptr;
};

}  // namespace pellumar
