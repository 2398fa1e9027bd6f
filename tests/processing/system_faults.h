#pragma once

#include <cstddef>

namespace pellumar {

/// Faults planted in the system calls of the core the processing tests link
/// (built with PELLUMAR_SYSCALL_SEAM). While a SystemFaults lives, the calls
/// named here misbehave and are counted; every other call is the real one.
struct Faults {
  int error = 0;                    ///< the errno of every planted failure
  int writeToFail = 0;              ///< this write (counting from 1) fails
  bool failCreate = false;          ///< every open that would create a file fails
  bool failRename = false;          ///< every rename and name swap fails
  bool failSwap = false;            ///< every name swap fails
  std::size_t interruptedSize = 0;  ///< if set, every read and write is interrupted by a
                                    ///< signal first, and the next one moves at most this
};

struct SystemFaults {
  explicit SystemFaults(Faults planted);
  ~SystemFaults();
  SystemFaults(const SystemFaults&) = delete;  // the calls point at this one

  const Faults faults;
  int reads = 0, writes = 0, swaps = 0;  ///< swaps: names swapped
  bool interruptNext = true;
};

}  // namespace pellumar
