#include "korvelin/form/internal/values.h"

#include <cstring>

int DecimalWrapped(const char* digits, int count) {
  // Unsigned arithmetic: a value of ten or more digits wraps instead of overflowing.
  unsigned number = 0;
  for (int i = 0; i < count; ++i) {
    int digit = static_cast<signed char>(digits[i]) - '0';
    number = number * 10u + static_cast<unsigned>(digit);
  }
  return static_cast<int>(number);
}

void ClearPresent(int count, int* present) {
  for (int i = 0; i < count; ++i) present[i] = 0;
}

int MarkPresent(const char* value, int count, const char* const* expected, int* present) {
  // A flag already set is passed over, so a value met twice marks two equal expected values.
  for (int i = 0; i < count; ++i) {
    if (present[i] == 0 && std::strcmp(value, expected[i]) == 0) {
      present[i] = 1;
      return 1;
    }
  }
  return 0;
}
