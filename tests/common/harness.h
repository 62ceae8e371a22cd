// Shared helpers of the test programs: the private data root, files, processes.
#ifndef KORVELIN_TESTS_COMMON_HARNESS_H
#define KORVELIN_TESTS_COMMON_HARNESS_H

#include <string>
#include <vector>

namespace harness {

// The private data root the test build is compiled against, ending with a slash.
std::string DataRoot();
// Empties the data root and creates its counters/ and allerror/ directories.
void ResetDataRoot();
// A fresh empty directory for one test's files (no trailing slash).
std::string ScratchDir(const std::string& name);

bool Exists(const std::string& path);
std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
void RemoveTree(const std::string& path);
// The names in a directory, sorted, without "." and "..".
std::vector<std::string> ListDir(const std::string& path);

struct ProcessResult {
  int exit_status = -1;  // the exit status, or -1 when the process died of a signal
  std::string out;       // everything written on standard output
  std::string err;       // everything written on standard error
};
// Runs program with exactly the environment given ("NAME=value" entries); what
// it writes on standard error is passed on to the test's own.
ProcessResult Run(const std::string& program, const std::vector<std::string>& env);
// Runs command (the program, then its arguments) with exactly the environment given.
ProcessResult RunCommand(const std::vector<std::string>& command, const std::vector<std::string>& env);
// Runs the test build's counter.cgi.
ProcessResult RunCounter(const std::vector<std::string>& env);

// Sets or unsets environment variables for one scope and restores them after it.
class ScopedEnv {
 public:
  ScopedEnv() = default;
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;
  ~ScopedEnv();
  void Set(const char* name, const std::string& value);
  void Unset(const char* name);

 private:
  void Remember(const char* name);
  struct Saved {
    std::string name;
    bool was_set;
    std::string value;
  };
  std::vector<Saved> saved_;
};

}  // namespace harness

#endif
