#pragma once

#include <atomic>
#include <exception>
#include <string>
#include <thread>

namespace pellumar {

/// Checks on a thread of its own that a file is UTF-8, reading it apart
/// from the run that cleans it meanwhile, so that the check costs that run
/// nothing.
class Utf8Check {
 public:
  explicit Utf8Check(const std::string& path);
  /// Stops the check where it stands.
  ~Utf8Check() = default;
  Utf8Check(const Utf8Check&) = delete;
  Utf8Check& operator=(const Utf8Check&) = delete;

  /// True once the check has found that the file is not UTF-8.
  bool failed() const { return failed_.load(std::memory_order_relaxed); }

  /// Waits for the check: true when the whole file is UTF-8. Throws
  /// RunFailure when the file cannot be read.
  bool passed();

 private:
  void check(const std::string& path, const std::stop_token& stop);

  std::atomic<bool> failed_ = false;
  std::exception_ptr error_;
  std::jthread thread_;  // last: it starts once the rest is in place
};

}  // namespace pellumar
