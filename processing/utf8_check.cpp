#include "processing/utf8_check.h"

#include "processing/file_ops.h"
#include "processing/utf8.h"

namespace pellumar {

Utf8Check::Utf8Check(const std::string& path)
    : thread_([this, path](const std::stop_token& stop) { check(path, stop); }) {}

bool Utf8Check::passed() {
  if (thread_.joinable()) thread_.join();
  if (error_) std::rethrow_exception(error_);
  return !failed();
}

void Utf8Check::check(const std::string& path, const std::stop_token& stop) {
  try {
    FileReader file(path);
    Utf8Validator validator;
    for (std::string_view piece = file.next(); !piece.empty(); piece = file.next()) {
      if (stop.stop_requested()) return;
      if (!validator.feed(reinterpret_cast<const unsigned char*>(piece.data()), piece.size())) {
        failed_ = true;
        return;
      }
    }
    if (!validator.complete()) failed_ = true;
  } catch (...) {
    error_ = std::current_exception();
  }
}

}  // namespace pellumar
