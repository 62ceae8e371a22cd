#include "feedback.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include <korvelin/form/records.h>
#include <korvelin/profile/validators.h>
#include <korvelin/storage/error_page.h>
#include <korvelin/storage/two_files.h>
#include <korvelin/support/clock.h>
#include <korvelin/support/journal.h>

#include "pages.h"

#ifndef FEEDBACK_STORE_DIR
#error "FEEDBACK_STORE_DIR must be defined by the build"
#endif

namespace {
constexpr char kStore1[] = FEEDBACK_STORE_DIR "feedback1.txt";
constexpr char kStore2[] = FEEDBACK_STORE_DIR "feedback2.txt";
// Size measure: a store file takes messages until it holds a mebibyte, then the
// other file is cut and takes over, so the store keeps the last one to two MiB.
constexpr int kMeasureSize = 0;
constexpr int kStoreFileLimit = 1 << 20;

// The message as name=value lines and an empty line, built with the record-buffer
// update that appends a line for a name the buffer does not hold yet.
std::vector<char> StoreRecord(const Feedback& feedback) {
  date today;
  utime now;
  getdatetime(&today, &now);
  char moment[32];
  snprintf(moment, sizeof moment, "%02d.%02d.%04d %02d:%02d:%02d", today.day, today.month,
           today.year, now.hour, now.minute, now.second);

  const char* lines[][2] = {
      {"date", moment},
      {"nick", feedback.nick},
      {"email", feedback.email},
      {"message", feedback.message.c_str()},
      {"file", feedback.file_name.c_str()},
      {"type", feedback.file_type.c_str()},
  };
  int line_count = feedback.attached ? 6 : 4;
  // Each appended line needs its name, "=", its value and the LF; then the empty
  // line, the terminator, and the size's line (name, "=", up to 11 digits, LF).
  size_t room = 2 + 4 + 1 + 11 + 1;
  for (int i = 0; i < line_count; ++i) room += strlen(lines[i][0]) + strlen(lines[i][1]) + 2;
  std::vector<char> record(room, '\0');
  for (int i = 0; i < line_count; ++i) BufuserChange(record.data(), lines[i][1], lines[i][0]);
  if (feedback.attached) BufuserIntChange(record.data(), feedback.file_size, "size");
  strcat(record.data(), "\n");
  return record;
}
}  // namespace

void Answer(Feedback& feedback) {
  NikPreobr(feedback.nick);
  if (feedback.nick[0] == '\0') {
    WriteProblem("Please give your name", "Go back, fill in the name and send the message again.");
    return;
  }
  if (!CanEmail(feedback.email)) {
    WriteProblem("The e-mail address is not valid", "Go back, correct the address and send the message again.");
    return;
  }
  if (feedback.message.empty()) {
    WriteProblem("The message is empty", "Go back, write a few words and send the message again.");
    return;
  }
  std::vector<char> record = StoreRecord(feedback);
  if (TwoFilesWrite(kStore1, kStore2, kMeasureSize, kStoreFileLimit, record.data()) != 0) {
    // The store's failure is not reported by the library itself: journal it here.
    char message[200];
    snprintf(message, sizeof message, "Can't append to the feedback store %s", kStore1);
    SaveError(message);
    WriteErr("The message could not be saved", "Please try again in a few minutes.", 1, 1, 1);
    return;
  }
  WriteThanksPage(feedback);
}
