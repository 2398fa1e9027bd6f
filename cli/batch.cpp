#include "cli/batch.h"

#include <algorithm>
#include <condition_variable>
#include <filesystem>
#include <map>
#include <mutex>
#include <numeric>
#include <optional>
#include <stdexcept>
#include <thread>

#include "processing/run/job_paths.h"

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

void runBatch(const std::vector<std::string>& files,
              const std::vector<std::vector<std::size_t>>& groups, unsigned jobs,
              const FileTask& task, const OutcomeSink& sink) {
  checkGroups(files.size(), groups);
  auto runOne = [&](std::size_t index) { return task(index); };

  const std::size_t threadCount = std::min<std::size_t>(jobs, groups.size());
  if (threadCount <= 1) {
    // Command-line order keeps every group's order too.
    for (std::size_t index = 0; index < files.size(); ++index) {
      const RunOutcome outcome = runOne(index);
      sink({&outcome, 1});
    }
    return;
  }

  std::vector<std::optional<RunOutcome>> finished(files.size());
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
        RunOutcome outcome = runOne(index);
        {
          const std::lock_guard lock(mutex);
          finished[index] = std::move(outcome);
        }
        fileFinished.notify_one();
      }
    }
  };

  std::vector<std::jthread> workers;
  workers.reserve(threadCount);
  for (std::size_t i = 0; i < threadCount; ++i) workers.emplace_back(worker);

  std::vector<RunOutcome> ready;
  for (std::size_t next = 0; next < files.size();) {
    {
      std::unique_lock lock(mutex);
      fileFinished.wait(lock, [&] { return finished[next].has_value(); });
      for (; next < files.size() && finished[next]; ++next) {
        ready.push_back(std::move(*finished[next]));
        finished[next].reset();
      }
    }
    sink(ready);
    ready.clear();
  }
}

}  // namespace pellumar::cli
