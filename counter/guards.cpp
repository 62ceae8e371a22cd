#include "counter/guards.h"

#include <strings.h>

#include <cstring>
#include <string_view>

namespace {

#ifdef KORVELIN_REDIRECT_HOSTS
// The host names, separated by single spaces.
constexpr std::string_view kRedirectHosts = KORVELIN_REDIRECT_HOSTS;
#else
constexpr std::string_view kRedirectHosts;
#endif

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && strncasecmp(text.data(), prefix.data(), prefix.size()) == 0;
}

bool ListedHost(std::string_view host) {
  std::string_view rest = kRedirectHosts;
  while (!rest.empty()) {
    std::size_t end = rest.find(' ');
    std::string_view listed = rest.substr(0, end);
    if (listed.size() == host.size() && strncasecmp(listed.data(), host.data(), host.size()) == 0)
      return true;
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
  }
  return false;
}

// Browsers drop tabs and line breaks from addresses and read a backslash as a slash, so
// "/\evil", "/<TAB>/evil" or "http://evil\@good" would lead off the site: a target holding
// any control byte, space or backslash is never followed.
bool PlainBytes(std::string_view target) {
  for (unsigned char c : target)
    if (c <= ' ' || c == 0x7f || c == '\\') return false;
  return true;
}

}  // namespace

bool RedirectAllowed(const char* target, std::size_t length) {
  if (kRedirectHosts.empty()) return true;
  std::string_view text(target, length);
  if (!PlainBytes(text)) return false;
  // A path on this site, but not "//host/...", which leaves it.
  if (text.size() >= 1 && text[0] == '/') return text.size() == 1 || text[1] != '/';
  std::string_view rest;
  if (StartsWithNoCase(text, "http://"))
    rest = text.substr(7);
  else if (StartsWithNoCase(text, "https://"))
    rest = text.substr(8);
  else
    return false;
  std::string_view authority = rest.substr(0, rest.find_first_of("/?#"));
  // "http://good@evil/" goes to evil: an address naming a user is never followed.
  if (authority.find('@') != std::string_view::npos) return false;
  std::string_view host = authority;
  std::size_t colon = authority.rfind(':');
  if (colon != std::string_view::npos && authority.find(']', colon) == std::string_view::npos)
    host = authority.substr(0, colon);
  return !host.empty() && ListedHost(host);
}
