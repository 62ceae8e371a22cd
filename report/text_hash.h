// Hash containers of texts that are looked up by string_view, so no key is
// built for a text already known.
#ifndef KORVELIN_REPORT_TEXT_HASH_H
#define KORVELIN_REPORT_TEXT_HASH_H

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

struct TextHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
};
using TextSet = std::unordered_set<std::string, TextHash, std::equal_to<>>;
using TextCounts = std::unordered_map<std::string, uint64_t, TextHash, std::equal_to<>>;

#endif
