#include "korvelin/profile/nickname.h"

#include <cstring>

namespace {

constexpr char kEqualsRef[] = "&#61;";
constexpr char kApostropheRef[] = "&quot;";  // the apostrophe shows as a double quote
constexpr unsigned char kSoftHyphen = 0xAD;

// Bytes are taken while fewer than NikMaxLen are written, so the last one may start at
// NikMaxLen - 1 and, as the longer reference, run on for five more before the terminator.
constexpr int kWorkSize = 40;
static_assert(NikMaxLen - 1 + static_cast<int>(sizeof kApostropheRef) <= kWorkSize);
static_assert(sizeof kEqualsRef <= sizeof kApostropheRef);

// Appends the reference (its terminator left out) at work[q]; the new count.
int PutReference(char* work, int q, const char* reference, int size) {
  memcpy(work + q, reference, size - 1);
  return q + size - 1;
}

}  // namespace

void NikPreobr(char* nik) {
  char work[kWorkSize];
  int q = 0;
  // Dropped bytes do not count, so the input is read on until the output is full or it ends.
  for (const char* in = nik; *in != '\0' && q < NikMaxLen; ++in) {
    unsigned char c = static_cast<unsigned char>(*in);
    if (c == '=') {
      q = PutReference(work, q, kEqualsRef, sizeof kEqualsRef);
    } else if (c == '\'') {
      q = PutReference(work, q, kApostropheRef, sizeof kApostropheRef);
    } else if (c == ' ' && (q == 0 || work[q - 1] == ' ')) {
      // a leading space, or one that follows a space
    } else if (c != kSoftHyphen) {
      work[q++] = static_cast<char>(c);
    }
  }
  if (q > 0 && work[q - 1] == ' ') --q;
  // Only a reference begun in the last places runs past the limit; it is cut where it stands.
  if (q > NikMaxLen) q = NikMaxLen;
  work[q] = '\0';
  memcpy(nik, work, q + 1);
}
