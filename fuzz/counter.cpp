// The counter's request handling with the query and the CGI variables taken from the
// input, against a private data root. Whatever the request, the answer is exactly one
// Location header whose value holds no line break, a logged hit adds exactly one line
// to its hit log (one line feed, at the end), and files appear only inside the
// counters and allerror directories.
#include <dirent.h>
#include <fcntl.h>
#include <fuzzer/FuzzedDataProvider.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/common.h"
#include "counter/counter.h"
#include "counter/environment.h"

namespace {

const std::string kRoot = KORVELIN_DATA_ROOT;                         // ends with a slash
const std::string kParent = kRoot.substr(0, kRoot.rfind('/', kRoot.size() - 2));
const std::string kHome = KORVELIN_HOME_URL;

constexpr const char* kVariables[] = {"QUERY_STRING", "REMOTE_ADDR", "REMOTE_HOST",
                                      "HTTP_X_FORWARDED_FOR", "HTTP_REFERER", "SCRIPT_NAME"};
// Hit logs and journals are emptied now and then, so they do not grow without bound.
constexpr int kRunsBetweenCleaning = 500;

std::vector<std::string> Names(const std::string& dir) {
  std::vector<std::string> names;
  if (DIR* listing = opendir(dir.c_str())) {
    while (dirent* entry = readdir(listing)) {
      std::string name = entry->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    closedir(listing);
  }
  return names;
}

void Empty(const std::string& dir) {
  for (const std::string& name : Names(dir)) unlink((dir + "/" + name).c_str());
}

bool OnlyRegularFiles(const std::string& dir) {
  struct stat st;
  for (const std::string& name : Names(dir))
    if (lstat((dir + "/" + name).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  return true;
}

// The hit log the query counts in, or empty when it names no counter (no plus sign,
// or a name that a slash makes the counter refuse).
std::string HitLogOf(const std::string& query) {
  std::size_t plus = query.find('+');
  if (plus == std::string::npos) return "";
  std::string name = query.substr(plus + 1, 50);
  if (name.find('/') != std::string::npos) return "";
  return kRoot + "counters/" + name + ".log";
}

off_t SizeOf(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 ? st.st_size : 0;
}

std::string TailFrom(const std::string& path, off_t offset) {
  std::string tail;
  int fd = open(path.c_str(), O_RDONLY);
  if (fd < 0) return tail;
  char buffer[4096];
  ssize_t got;
  while ((got = pread(fd, buffer, sizeof buffer, offset + static_cast<off_t>(tail.size()))) > 0)
    tail.append(buffer, static_cast<std::size_t>(got));
  close(fd);
  return tail;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  mkdir(kParent.c_str(), 0755);
  mkdir(kRoot.c_str(), 0755);
  mkdir((kRoot + "counters").c_str(), 0755);
  mkdir((kRoot + "allerror").c_str(), 0755);
  Empty(kRoot + "counters");
  Empty(kRoot + "allerror");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  std::string query;
  for (const char* variable : kVariables) {
    // A variable is absent, or present with the next piece of the input as its value.
    bool present = input.ConsumeBool();
    std::string value = fuzz::Text(input, size);
    if (present)
      setenv(variable, value.c_str(), 1);
    else
      unsetenv(variable);
    if (variable == kVariables[0]) query = present ? value : "";
  }

  bool bad_query = query.empty() || query.size() > 1000 || query.find_first_of("\r\n") != std::string::npos;
  std::string hit_log = bad_query ? "" : HitLogOf(query);
  off_t logged_before = hit_log.empty() ? 0 : SizeOf(hit_log);

  CounterAnswer answer;
  CountAndRedirect(RequestFromEnvironment(), &answer);
  std::string response(answer.bytes, answer.length);

  // Nothing here tears a line, so a hit is exactly one line: one line feed, at its end.
  if (!hit_log.empty()) {
    std::string added = TailFrom(hit_log, logged_before);
    FUZZ_CHECK(!added.empty() && added.find('\n') == added.size() - 1);
    FUZZ_CHECK(added.compare(0, 6, "Date: ") == 0);
  }

  // "Location: " + value + "\n\n": the home page for a query that cannot be used, else the
  // query up to its first plus sign.
  FUZZ_CHECK(response.size() >= 12);
  FUZZ_CHECK(response.compare(0, 10, "Location: ") == 0);
  FUZZ_CHECK(response.compare(response.size() - 2, 2, "\n\n") == 0);
  std::string value = response.substr(10, response.size() - 12);
  FUZZ_CHECK(value.find_first_of("\r\n") == std::string::npos);
  // An empty target goes to the home page too: an empty Location leads nowhere.
  bool goes_home = bad_query || query[0] == '+';
  FUZZ_CHECK(value == (goes_home ? kHome : query.substr(0, query.find('+'))));

  FUZZ_CHECK(Names(kParent) == std::vector<std::string>{"korvelin"});
  std::vector<std::string> top = Names(kRoot);
  FUZZ_CHECK(top.size() == 2);
  FUZZ_CHECK((top[0] == "counters" && top[1] == "allerror") ||
             (top[0] == "allerror" && top[1] == "counters"));

  static int runs = 0;
  if (++runs % kRunsBetweenCleaning == 0) {
    // Nothing but plain files may have been made inside them either.
    FUZZ_CHECK(OnlyRegularFiles(kRoot + "counters") && OnlyRegularFiles(kRoot + "allerror"));
    Empty(kRoot + "counters");
    Empty(kRoot + "allerror");
  }
  return 0;
}
