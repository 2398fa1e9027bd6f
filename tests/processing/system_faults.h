#pragma once

#include <cstddef>

namespace pellumar {

/// Faults planted in the system calls of the core the processing tests link
/// (built with PELLUMAR_SYSCALL_SEAM). While an object lives, the calls it is
/// told about misbehave; every other call is the real one.
class SystemFaults {
 public:
  SystemFaults();
  ~SystemFaults();
  SystemFaults(const SystemFaults&) = delete;
  SystemFaults& operator=(const SystemFaults&) = delete;

  /// The `callNumber`th write from now on (counting from 1) fails with `error`.
  void failWrite(int callNumber, int error);
  /// Every open that would create a file fails with `error`.
  void failCreate(int error);
  /// Every rename fails with `error`.
  void failRename(int error);
  /// Every read and write is interrupted by a signal before it does anything,
  /// and the next one after that moves at most `bytes` bytes.
  void interruptReadsAndWrites(std::size_t bytes);

  int writes = 0;
  int writeToFail = 0;
  int error = 0;
  bool failingCreate = false;
  bool failingRename = false;
  std::size_t interruptedSize = 0;  // 0: nothing is interrupted
  bool interruptNext = true;
};

}  // namespace pellumar
