// The distinct client addresses of one counter. Memory grows with the number
// of distinct addresses, never with the hits: an IPv4 address written in the
// usual dotted form, nearly every client, takes 4 bytes in an open-addressing
// table kept at most half full (at most 8 bytes an address, 20,000 clients in
// 160 KB); anything else is kept as text.
#ifndef KORVELIN_REPORT_ADDRESS_SET_H
#define KORVELIN_REPORT_ADDRESS_SET_H

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "report/text_hash.h"

class AddressSet {
 public:
  void Insert(std::string_view address);
  std::size_t size() const { return numbers_ + (has_zero_ ? 1 : 0) + texts_.size(); }

 private:
  void InsertNumber(uint32_t number);
  void Grow();

  // Slot value 0 is free; the address 0.0.0.0 is kept aside in has_zero_.
  std::vector<uint32_t> slots_;
  std::size_t numbers_ = 0;
  bool has_zero_ = false;
  TextSet texts_;
};

// The value of an IPv4 address in its usual dotted form (four numbers 0 to 255
// without leading zeros, so that each address has one text); false otherwise.
bool ParseIpv4(std::string_view text, uint32_t* number);

#endif
