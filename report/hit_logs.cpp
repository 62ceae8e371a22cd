#include "report/hit_logs.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <thread>

#include "report/line_reader.h"

namespace {
constexpr std::string_view kLogExtension = ".log";

struct LogFile {
  std::string counter;
  std::string path;
};

std::string Failure(const char* what, const std::string& path, int error_number) {
  return std::string(what) + " " + path + ": " + strerror(error_number);
}

bool ListLogs(const std::string& directory, const ReadScope& scope, std::vector<LogFile>* logs,
              std::string* error) {
  DIR* dir = opendir(directory.c_str());
  if (dir == nullptr) {
    *error = Failure("cannot read the counters directory", directory, errno);
    return false;
  }
  std::string prefix = directory;
  if (prefix.empty() || prefix.back() != '/') prefix += '/';
  errno = 0;
  while (const dirent* entry = readdir(dir)) {
    std::string_view name = entry->d_name;
    if (name.size() <= kLogExtension.size() || !name.ends_with(kLogExtension)) continue;
    std::string counter(name.substr(0, name.size() - kLogExtension.size()));
    if (scope.one_counter && counter != scope.counter) continue;
    logs->push_back({std::move(counter), prefix + entry->d_name});
  }
  int read_error = errno;
  closedir(dir);
  if (read_error != 0) {
    *error = Failure("cannot read the counters directory", directory, read_error);
    return false;
  }
  return true;
}

// Reads one log; false on a read error. A log that is not a regular file (a
// directory, a pipe that would wait for a writer, a dangling link) is skipped.
bool ReadLog(const LogFile& log, const ReadScope& scope, HitSink* sink, ReadSummary* summary,
             std::string* error) {
  int fd = open(log.path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  struct stat st;
  if (fd < 0 && (errno == ENOENT || errno == ELOOP || errno == ENXIO)) {
    ++summary->not_files;
    return true;
  }
  if (fd < 0) {
    *error = Failure("cannot read the hit log", log.path, errno);
    return false;
  }
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    ++summary->not_files;
    return true;
  }
  ++summary->logs;
  HitParser parser;
  LineReader reader(fd);
  std::string_view line;
  LineReader::Kind kind;
  Hit hit;
  bool begun = false;
  uint64_t malformed = 0;
  while (reader.Next(&line, &kind)) {
    if (kind != LineReader::Kind::kComplete || !parser.Parse(line, &hit)) {
      ++malformed;
      continue;
    }
    if (!begun) {
      sink->BeginLog(log.counter);
      begun = true;
    }
    if (hit.day >= scope.since_day && hit.day <= scope.until_day) sink->Add(hit);
  }
  close(fd);
  if (reader.error() != 0) {
    *error = Failure("cannot read the hit log", log.path, reader.error());
    return false;
  }
  summary->malformed_lines += malformed;
  if (malformed > 0) ++summary->damaged_logs;
  return true;
}
}  // namespace

std::string ReadSummary::SkippedLine() const {
  std::string line;
  if (malformed_lines > 0) {
    line = "skipped " + std::to_string(malformed_lines) + " malformed line" +
           (malformed_lines == 1 ? "" : "s") + " in " + std::to_string(damaged_logs) + " log" +
           (damaged_logs == 1 ? "" : "s");
  }
  if (not_files > 0) {
    line += line.empty() ? "skipped " : ", and ";
    line += std::to_string(not_files) + " .log entr" + (not_files == 1 ? "y" : "ies") +
            " that " + (not_files == 1 ? "is" : "are") + " not a regular file";
  }
  return line;
}

ReadSummary& ReadSummary::operator+=(const ReadSummary& other) {
  logs += other.logs;
  malformed_lines += other.malformed_lines;
  damaged_logs += other.damaged_logs;
  not_files += other.not_files;
  return *this;
}

namespace {
// The logs of every directory in order of counter name; the logs of one
// counter from several directories come one after another.
bool ListAllLogs(const std::vector<std::string>& directories, const ReadScope& scope,
                 std::vector<LogFile>* logs, std::string* error) {
  for (const std::string& directory : directories) {
    if (!ListLogs(directory, scope, logs, error)) return false;
  }
  std::stable_sort(logs->begin(), logs->end(),
                   [](const LogFile& a, const LogFile& b) { return a.counter < b.counter; });
  return true;
}

// One thread's share: it takes the next counter not yet taken until none is left.
struct Worker {
  Tally tally;
  ReadSummary summary;
  std::string error;
  bool failed = false;
};
}  // namespace

bool ReadHitLogs(const std::vector<std::string>& directories, const ReadScope& scope,
                 HitSink* sink, ReadSummary* summary, std::string* error) {
  std::vector<LogFile> logs;
  if (!ListAllLogs(directories, scope, &logs, error)) return false;
  for (const LogFile& log : logs) {
    if (!ReadLog(log, scope, sink, summary, error)) return false;
  }
  return true;
}

bool TallyHitLogs(const std::vector<std::string>& directories, const ReadScope& scope,
                  unsigned workers, Tally* tally, ReadSummary* summary, std::string* error) {
  std::vector<LogFile> logs;
  if (!ListAllLogs(directories, scope, &logs, error)) return false;
  // Where each counter's logs start in the list.
  std::vector<std::size_t> starts;
  for (std::size_t i = 0; i < logs.size(); ++i)
    if (i == 0 || logs[i].counter != logs[i - 1].counter) starts.push_back(i);
  starts.push_back(logs.size());

  std::atomic<std::size_t> next_counter{0};
  std::atomic<bool> stop{false};
  auto work = [&](Worker* worker) {
    for (std::size_t c; !stop && (c = next_counter++) + 1 < starts.size();) {
      for (std::size_t i = starts[c]; i < starts[c + 1] && !worker->failed; ++i)
        worker->failed = !ReadLog(logs[i], scope, &worker->tally, &worker->summary, &worker->error);
      if (worker->failed) stop = true;
    }
  };
  std::size_t count = std::max<std::size_t>(1, std::min<std::size_t>(workers, starts.size() - 1));
  std::vector<Worker> shares(count);
  std::vector<std::thread> threads;
  for (std::size_t i = 1; i < count; ++i) threads.emplace_back(work, &shares[i]);
  work(&shares[0]);
  for (std::thread& thread : threads) thread.join();

  for (Worker& share : shares) {
    if (share.failed) {
      *error = share.error;
      return false;
    }
    tally->Merge(&share.tally);
    *summary += share.summary;
  }
  return true;
}
