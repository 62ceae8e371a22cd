#include "counter/fastcgi_environment.h"

#include <fcgiapp.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {
// One variable of the environment, its "NAME=value" text owned here. setenv would keep
// a copy of every value it was ever given (a new client address per request, for as
// long as the process runs); putenv takes this buffer, which the next value replaces.
class EnvironmentEntry {
 public:
  explicit EnvironmentEntry(const char* name) : name_(name) {}

  void Set(const char* value) {
    if (value == nullptr) {
      unsetenv(name_);
      return;
    }
    std::size_t name_length = strlen(name_), value_length = strlen(value);
    std::vector<char> next(name_length + 1 + value_length + 1);
    memcpy(next.data(), name_, name_length);
    next[name_length] = '=';
    memcpy(next.data() + name_length + 1, value, value_length + 1);
    putenv(next.data());
    entry_.swap(next);  // the old text is no longer in the environment
  }

 private:
  const char* name_;
  std::vector<char> entry_;
};

EnvironmentEntry script_name("SCRIPT_NAME");
EnvironmentEntry remote_addr("REMOTE_ADDR");
EnvironmentEntry remote_host("REMOTE_HOST");
EnvironmentEntry forwarded_for("HTTP_X_FORWARDED_FOR");
}  // namespace

CounterRequest RequestFromParameters(char** parameters) {
  auto get = [parameters](const char* name) { return FCGX_GetParam(name, parameters); };
  return {get("QUERY_STRING"),         get("REMOTE_ADDR"),  get("REMOTE_HOST"),
          get("HTTP_X_FORWARDED_FOR"), get("HTTP_REFERER"), get("SCRIPT_NAME")};
}

void ExportToEnvironment(const CounterRequest& request) {
  script_name.Set(request.script_name);
  remote_addr.Set(request.remote_addr);
  remote_host.Set(request.remote_host);
  forwarded_for.Set(request.forwarded_for);
}
