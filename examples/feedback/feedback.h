// One feedback message, checked, stored and answered.
#ifndef FEEDBACK_FEEDBACK_H
#define FEEDBACK_FEEDBACK_H

#include <string>

#include <korvelin/profile/nickname.h>

// The longest e-mail address kept, in bytes.
inline constexpr int kEmailMax = 100;
// The longest nickname read from a form; NikPreobr then cuts it to NikMaxLen.
inline constexpr int kNickInputMax = 64;
static_assert(kNickInputMax >= NikMaxLen, "NikPreobr needs room for NikMaxLen + 1 bytes");

// A message as either form delivers it. Every text is HTML-safe Windows-1251, so
// it goes into the store and onto the thank-you page as it is.
struct Feedback {
  char nick[kNickInputMax + 1] = "";
  char email[kEmailMax + 1] = "";
  std::string message;
  bool attached = false;  // the multipart form's file, when one was sent
  std::string file_name;
  std::string file_type;
  int file_size = 0;
};

// Normalises the nickname, checks the fields, appends the message to the store and
// writes the whole response: the thank-you page, or an error page saying what was wrong.
void Answer(Feedback& feedback);

#endif
