#include "report/settings.h"

#include "korvelin/support/internal/config.h"

#ifndef KORVELIN_HOME_URL
#error "KORVELIN_HOME_URL must be defined by the build"
#endif

namespace {
// The guards of counter.cgi, when the build sets them.
#ifdef KORVELIN_REDIRECT_HOSTS
constexpr const char* kRedirectHosts = KORVELIN_REDIRECT_HOSTS;
#else
constexpr const char* kRedirectHosts = nullptr;
#endif
#ifdef KORVELIN_KNOWN_COUNTERS
constexpr const char* kKnownCounters = KORVELIN_KNOWN_COUNTERS;
#else
constexpr const char* kKnownCounters = nullptr;
#endif

std::string Setting(const char* name, const char* value) {
  std::string line = name;
  line.resize(18, ' ');
  return line + (value != nullptr && *value != '\0' ? value : "off") + "\n";
}
}  // namespace

std::string DefaultCountersDirectory() { return std::string(kDataRoot) + "counters/"; }

std::string SettingsText() {
  return Setting("data root", kDataRoot) + Setting("hit logs", DefaultCountersDirectory().c_str()) +
         Setting("home page", KORVELIN_HOME_URL) + Setting("redirect hosts", kRedirectHosts) +
         Setting("known counters", kKnownCounters);
}
