#include "report/address_set.h"

namespace {
constexpr std::size_t kFirstSize = 64;

// Fibonacci hashing: the top bits of the product spread consecutive addresses.
std::size_t Slot(uint32_t number, std::size_t mask) {
  return static_cast<std::size_t>((uint64_t{number} * 0x9E3779B97F4A7C15ULL) >> 32) & mask;
}
}  // namespace

bool ParseIpv4(std::string_view text, uint32_t* number) {
  uint32_t value = 0;
  std::size_t at = 0;
  for (int part = 0; part < 4; ++part) {
    if (part > 0) {
      if (at >= text.size() || text[at] != '.') return false;
      ++at;
    }
    std::size_t start = at;
    unsigned byte = 0;
    while (at < text.size() && at - start < 4 && text[at] >= '0' && text[at] <= '9')
      byte = byte * 10 + static_cast<unsigned>(text[at++] - '0');
    std::size_t digits = at - start;
    if (digits == 0 || digits > 3 || byte > 255 || (digits > 1 && text[start] == '0')) return false;
    value = value << 8 | byte;
  }
  if (at != text.size()) return false;
  *number = value;
  return true;
}

void AddressSet::Insert(std::string_view address) {
  uint32_t number;
  if (!ParseIpv4(address, &number)) {
    if (texts_.find(address) == texts_.end()) texts_.emplace(address);
  } else if (number == 0) {
    has_zero_ = true;
  } else {
    InsertNumber(number);
  }
}

void AddressSet::InsertNumber(uint32_t number) {
  if ((numbers_ + 1) * 2 > slots_.size()) Grow();
  std::size_t mask = slots_.size() - 1;
  for (std::size_t slot = Slot(number, mask);; slot = (slot + 1) & mask) {
    if (slots_[slot] == number) return;
    if (slots_[slot] == 0) {
      slots_[slot] = number;
      ++numbers_;
      return;
    }
  }
}

void AddressSet::Grow() {
  std::vector<uint32_t> old = std::move(slots_);
  slots_.assign(old.empty() ? kFirstSize : old.size() * 2, 0);
  numbers_ = 0;
  for (uint32_t number : old)
    if (number != 0) InsertNumber(number);
}
