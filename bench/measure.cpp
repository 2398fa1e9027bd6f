// Runs a command REPEATS times and prints the median, lowest and highest wall
// time in seconds, the highest peak resident memory in KiB and the median CPU
// time (user and system) in seconds, as "median min max peak_kib cpu". The
// command's output goes to /dev/null; a command that fails stops the
// measurement.
//
//   measure REPEATS COMMAND [ARG]...

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s REPEATS COMMAND [ARG]...\n", argv[0]);
    return 2;
  }
  const int repeats = std::max(1, std::atoi(argv[1]));
  std::vector<double> seconds, cpu;
  long peak = 0;
  for (int i = 0; i < repeats; ++i) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
      const int null = ::open("/dev/null", O_WRONLY);
      ::dup2(null, STDOUT_FILENO);
      ::execvp(argv[2], argv + 2);
      std::perror(argv[2]);
      ::_exit(127);
    }
    int status = 0;
    struct rusage usage {};
    ::wait4(child, &status, 0, &usage);
    seconds.push_back(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      std::fprintf(stderr, "measure: %s failed\n", argv[2]);
      return 1;
    }
    peak = std::max(peak, usage.ru_maxrss);
    auto toSeconds = [](const timeval& t) {
      return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    cpu.push_back(toSeconds(usage.ru_utime) + toSeconds(usage.ru_stime));
  }
  std::sort(seconds.begin(), seconds.end());
  std::sort(cpu.begin(), cpu.end());
  std::printf("%.4f %.4f %.4f %ld %.4f\n", seconds[seconds.size() / 2], seconds.front(),
              seconds.back(), peak, cpu[cpu.size() / 2]);
  return 0;
}
