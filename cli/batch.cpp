#include "cli/batch.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <filesystem>
#include <map>
#include <mutex>
#include <numeric>
#include <optional>
#include <stdexcept>
#include <thread>

#include "cli/cli_window_system.h"
#include "processing/file_ops.h"
#include "processing/job_paths.h"
#include "processing/processing_run.h"

namespace pellumar::cli {

namespace {

namespace fs = std::filesystem;

class DisjointSets {
 public:
  explicit DisjointSets(std::size_t count) : parent_(count) {
    std::iota(parent_.begin(), parent_.end(), std::size_t{0});
  }

  std::size_t find(std::size_t item) {
    while (parent_[item] != item) {
      parent_[item] = parent_[parent_[item]];
      item = parent_[item];
    }
    return item;
  }

  // The smaller index becomes the root, so a root is its group's first FILE.
  void join(std::size_t a, std::size_t b) {
    a = find(a);
    b = find(b);
    if (a != b) parent_[std::max(a, b)] = std::min(a, b);
  }

 private:
  std::vector<std::size_t> parent_;
};

// The names under which a path may be reached: written out in full, and with
// symlinks resolved, so "./a.srt", "dir/../a.srt" and a link to it all meet.
// Resolving costs a look at every part of a path; the FILEs of a batch share
// a few folders, so each folder is resolved once.
class PathKeys {
 public:
  void add(const std::string& path, std::vector<std::string>& keys) {
    if (path.empty()) return;
    std::error_code error;
    const fs::path absolute = fs::absolute(path, error);
    if (error) return;
    keys.push_back(absolute.lexically_normal().string());
    // A link at the name itself leads out of its folder.
    if (fs::is_symlink(fs::symlink_status(absolute, error))) {
      const fs::path resolved = fs::weakly_canonical(absolute, error);
      if (!error) keys.push_back(resolved.string());
      return;
    }
    const auto [entry, isNew] = folders_.try_emplace(absolute.parent_path());
    if (isNew) {
      const fs::path folder = fs::weakly_canonical(absolute.parent_path(), error);
      if (!error) entry->second = folder;
    }
    if (entry->second)
      keys.push_back((*entry->second / absolute.filename()).lexically_normal().string());
  }

 private:
  std::map<fs::path, std::optional<fs::path>> folders_;
};

std::string whyNotAFile(const std::string& file) {
  std::error_code error;
  const fs::file_status status = fs::status(file, error);
  if (fs::is_directory(status)) return "Is a folder, not a file.";
  if (fs::exists(status)) return "Not a regular file.";
  return "No such file.";
}

void checkGroups(std::size_t fileCount, const std::vector<std::vector<std::size_t>>& groups) {
  std::vector<int> seen(fileCount);
  for (const auto& group : groups) {
    for (const std::size_t index : group) {
      if (index >= fileCount || seen[index]++ != 0) {
        throw std::invalid_argument("runBatch: groups must hold every FILE once");
      }
    }
  }
  if (std::find(seen.begin(), seen.end(), 0) != seen.end()) {
    throw std::invalid_argument("runBatch: groups must hold every FILE once");
  }
}

}  // namespace

std::vector<std::vector<std::size_t>> groupFiles(const std::vector<std::string>& files,
                                                 const std::string& nameSuffix) {
  DisjointSets sets(files.size());
  std::map<std::string, std::size_t> firstUser;
  std::vector<std::string> keys;
  PathKeys pathKeys;
  for (std::size_t index = 0; index < files.size(); ++index) {
    const JobPaths paths = deriveJobPaths(files[index], nameSuffix);
    keys.clear();
    for (const std::string* path :
         {&paths.inputPath, &paths.outputPath, &paths.stagingPath, &paths.logPath}) {
      pathKeys.add(*path, keys);
    }
    for (const std::string& key : keys) {
      const auto [user, isNew] = firstUser.emplace(key, index);
      if (!isNew) sets.join(user->second, index);
    }
  }

  std::vector<std::vector<std::size_t>> groups;
  std::map<std::size_t, std::size_t> groupOfRoot;
  for (std::size_t index = 0; index < files.size(); ++index) {
    const auto [entry, isNew] = groupOfRoot.emplace(sets.find(index), groups.size());
    if (isNew) groups.emplace_back();
    groups[entry->second].push_back(index);
  }
  return groups;
}

std::size_t runBatch(const std::vector<std::string>& files,
                     const std::vector<std::vector<std::size_t>>& groups, unsigned jobs,
                     const FileTask& task, const ReportSink& sink) {
  checkGroups(files.size(), groups);
  std::size_t notProcessed = 0;

  // A worker thread must not let an exception out: it would end the program
  // with the other files half done.
  auto runOne = [&](std::size_t index) -> FileReport {
    try {
      return task(files[index]);
    } catch (const std::exception& error) {
      return {errorLine(error.what(), files[index]), {}, false};
    } catch (...) {
      return {errorLine("Unexpected error.", files[index]), {}, false};
    }
  };

  const std::size_t threadCount = std::min<std::size_t>(jobs, groups.size());
  if (threadCount <= 1) {
    // Command-line order keeps every group's order too.
    for (std::size_t index = 0; index < files.size(); ++index) {
      const FileReport report = runOne(index);
      if (!report.processed) ++notProcessed;
      sink({&report, 1});
    }
    return notProcessed;
  }

  std::vector<std::optional<FileReport>> finished(files.size());
  std::mutex mutex;
  std::condition_variable fileFinished;
  std::size_t nextGroup = 0;
  auto worker = [&] {
    for (;;) {
      std::size_t group = 0;
      {
        const std::lock_guard lock(mutex);
        if (nextGroup == groups.size()) return;
        group = nextGroup++;
      }
      for (const std::size_t index : groups[group]) {
        FileReport report = runOne(index);
        {
          const std::lock_guard lock(mutex);
          finished[index] = std::move(report);
        }
        fileFinished.notify_one();
      }
    }
  };

  std::vector<std::jthread> workers;
  workers.reserve(threadCount);
  for (std::size_t i = 0; i < threadCount; ++i) workers.emplace_back(worker);

  std::vector<FileReport> ready;
  for (std::size_t next = 0; next < files.size();) {
    {
      std::unique_lock lock(mutex);
      fileFinished.wait(lock, [&] { return finished[next].has_value(); });
      for (; next < files.size() && finished[next]; ++next) {
        ready.push_back(std::move(*finished[next]));
        finished[next].reset();
      }
    }
    for (const FileReport& report : ready) {
      if (!report.processed) ++notProcessed;
    }
    sink(ready);
    ready.clear();
  }
  return notProcessed;
}

FileReport processFile(const std::string& file, const Settings& settings, const RuleTables& tables,
                       const CliOptions& options) {
  FileReport report;
  // Checked only now, when the FILE's turn has come: an earlier FILE of its
  // group may just have written it.
  if (!fileExists(file)) {
    report.errorText = errorLine(whyNotAFile(file), file);
    return report;
  }
  CliWindowSystem window(file, options);
  ProcessingRun run(settings, window, options.mode, &tables);
  // A large file is worked on by threads of its own where the jobs leave a
  // core spare for each file at work.
  if (options.jobs >= 2 * options.files.size()) run.useThreadsFrom(kThreadsWorthFrom);
  const RunOutcome outcome = run.clean(file);
  report.errorText = window.errorText();
  // Before the file's other lines: the encoding is known before any pass runs.
  if (options.verbose && run.encoding()) {
    report.errorText.insert(0, errorLine("read as " + run.encoding()->name(), file));
  }
  switch (outcome) {
    case RunOutcome::Done:
      report.processed = true;
      if (!options.quiet) report.progressText = file + " -> " + run.paths().outputPath + "\n";
      break;
    case RunOutcome::NothingChosen:
      // Gone between the check above and the run's own.
      report.errorText += errorLine(whyNotAFile(file), file);
      break;
    case RunOutcome::Failed:
      break;
  }
  return report;
}

void printReports(std::span<const FileReport> reports, std::FILE* out, std::FILE* err) {
  for (const FileReport& report : reports) {
    if (!report.errorText.empty()) {
      // What is buffered for stdout belongs before these lines.
      std::fflush(out);
      writeText(report.errorText, err);
      std::fflush(err);
    }
    writeText(report.progressText, out);
  }
  std::fflush(out);
}

}  // namespace pellumar::cli
