#include "counter/counter.h"

#include <cstring>

#include "counter/guards.h"
#include "counter/hit_log.h"
#include "korvelin/support/internal/strings.h"

#ifndef KORVELIN_HOME_URL
#error "KORVELIN_HOME_URL must be defined by the build"
#endif

namespace {
constexpr char kHomeUrl[] = KORVELIN_HOME_URL;
constexpr char kLocationLabel[] = "Location: ";
constexpr char kHeaderEnd[] = "\n\n";
static_assert(LiteralLength(kLocationLabel) + LiteralLength(kHeaderEnd) + kCounterQueryMax <=
                  kCounterAnswerMax,
              "the answer must hold the longest target");
static_assert(LiteralLength(kHomeUrl) <= kCounterQueryMax, "the answer must hold the home page");

void Answer(CounterAnswer* answer, const char* target, std::size_t length) {
  std::size_t used = 0;
  memcpy(answer->bytes, kLocationLabel, LiteralLength(kLocationLabel));
  used += LiteralLength(kLocationLabel);
  memcpy(answer->bytes + used, target, length);
  used += length;
  memcpy(answer->bytes + used, kHeaderEnd, LiteralLength(kHeaderEnd));
  answer->length = used + LiteralLength(kHeaderEnd);
}

void AnswerHome(CounterAnswer* answer) { Answer(answer, kHomeUrl, LiteralLength(kHomeUrl)); }
}  // namespace

void CountAndRedirect(const CounterRequest& request, CounterAnswer* answer) {
  const char* query = request.query;
  std::size_t length = query != nullptr ? strlen(query) : 0;
  // A line break inside the query would end the header early and let the
  // query inject headers of its own, so such a query is refused outright.
  if (length == 0 || length > kCounterQueryMax || strpbrk(query, "\r\n") != nullptr)
    return AnswerHome(answer);
  const char* plus = static_cast<const char*>(memchr(query, '+', length));
  std::size_t target_length = plus != nullptr ? static_cast<std::size_t>(plus - query) : length;
  // An empty target still counts, but an empty Location would leave the visitor on a blank page.
  bool empty_target = target_length == 0;
  if (!empty_target && !RedirectAllowed(query, target_length)) return AnswerHome(answer);
  if (plus != nullptr) LogHit(plus + 1, length - target_length - 1, request);
  if (empty_target) return AnswerHome(answer);
  Answer(answer, query, target_length);
}
