// The floor of any line-based tool: reads each FILE once, splits it at CR LF,
// lone CR and lone LF, and writes the lines to FILE.copy, each ending in
// CR LF. Large reads and writes, no text work.
//
//   line_copy FILE...

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kBufferSize = 1 << 20;

[[noreturn]] void fail(const std::string& what, const std::string& path) {
  std::fprintf(stderr, "line_copy: %s %s: %s\n", what.c_str(), path.c_str(), std::strerror(errno));
  std::exit(1);
}

class Writer {
 public:
  Writer(const std::string& path, std::vector<char>& buffer) : path_(path), buffer_(buffer) {
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd_ < 0) fail("cannot create", path);
  }
  ~Writer() {
    flush();
    if (::close(fd_) != 0) fail("cannot write", path_);
  }
  void append(const char* data, std::size_t size) {
    if (used_ + size > buffer_.size()) flush();
    if (size > buffer_.size()) {
      writeAll(data, size);
      return;
    }
    std::memcpy(buffer_.data() + used_, data, size);
    used_ += size;
  }

 private:
  void flush() {
    writeAll(buffer_.data(), used_);
    used_ = 0;
  }
  void writeAll(const char* data, std::size_t size) {
    while (size > 0) {
      const ssize_t done = ::write(fd_, data, size);
      if (done < 0) {
        if (errno == EINTR) continue;
        fail("cannot write", path_);
      }
      data += done;
      size -= static_cast<std::size_t>(done);
    }
  }

  std::string path_;
  std::vector<char>& buffer_;
  int fd_;
  std::size_t used_ = 0;
};

void copyLines(const std::string& path, std::vector<char>& in, std::vector<char>& outBuffer) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) fail("cannot read", path);
  Writer out(path + ".copy", outBuffer);
  bool afterCr = false;   // an LF right after it belongs to the same terminator
  bool lineOpen = false;  // bytes since the last terminator
  for (;;) {
    const ssize_t got = ::read(fd, in.data(), in.size());
    if (got < 0) {
      if (errno == EINTR) continue;
      fail("cannot read", path);
    }
    if (got == 0) break;
    const char* p = in.data();
    const char* const end = p + got;
    if (afterCr && *p == '\n') ++p;
    afterCr = false;
    while (p < end) {
      const char* lf = static_cast<const char*>(std::memchr(p, '\n', end - p));
      const char* stop = lf ? lf : end;
      const char* cr = static_cast<const char*>(std::memchr(p, '\r', stop - p));
      const char* term = cr ? cr : lf;
      if (!term) {
        out.append(p, end - p);
        lineOpen = true;
        break;
      }
      out.append(p, term - p);
      out.append("\r\n", 2);
      lineOpen = false;
      p = term + 1;
      if (*term == '\r') {
        if (p == end) {
          afterCr = true;
        } else if (*p == '\n') {
          ++p;
        }
      }
    }
  }
  if (lineOpen) out.append("\r\n", 2);
  ::close(fd);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<char> in(kBufferSize), out(kBufferSize);
  for (int i = 1; i < argc; ++i) copyLines(argv[i], in, out);
  return 0;
}
