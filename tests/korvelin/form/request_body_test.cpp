#include "korvelin/form/request_body.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <string>

#include "tests/common/harness.h"

namespace {

struct Result {
  BodyStatus status;
  std::string body;  // the body, its zero and the spare bytes; "(null)" for no buffer
  int length;
  int type;
};

// Standard input replaced by a pipe holding the request's bytes, its writing end
// closed (or left open), and the CGI variables of one request; journal entries
// would land in the private data root.
class RequestBody : public testing::Test {
 protected:
  void SetUp() override {
    harness::ResetDataRoot();
    env_.Set("SCRIPT_NAME", "/cgi-bin/form.cgi");
    env_.Unset("CONTENT_LENGTH");
    env_.Unset("CONTENT_TYPE");
    saved_stdin_ = dup(STDIN_FILENO);
  }
  void TearDown() override {
    dup2(saved_stdin_, STDIN_FILENO);
    close(saved_stdin_);
    if (writer_ >= 0) close(writer_);
  }

  // The pipe's writing end stays open when keep_open is set, for a writer to come.
  void Input(const std::string& bytes, bool keep_open = false) {
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    ASSERT_EQ(write(ends[1], bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    dup2(ends[0], STDIN_FILENO);
    close(ends[0]);
    if (keep_open) {
      writer_ = ends[1];
    } else {
      close(ends[1]);
    }
  }
  void Set(const char* name, const char* value) {
    if (value != nullptr) env_.Set(name, value);
  }

  Result Read(int limit, int spare, int types) {
    char* body = reinterpret_cast<char*>(1);
    Result result{};
    result.length = result.type = -7;
    result.status = ReadRequestBody(limit, spare, types, &body, &result.length, &result.type);
    if (body == nullptr) {
      result.body = "(null)";
    } else {
      result.body.assign(body, result.length + 1 + (spare > 0 ? spare : 0));
      free(body);
    }
    return result;
  }

  // What the program left unread on standard input.
  static std::string Unread() {
    std::string rest;
    char buffer[256];
    ssize_t n;
    while ((n = read(STDIN_FILENO, buffer, sizeof buffer)) > 0) rest.append(buffer, n);
    return rest;
  }

  harness::ScopedEnv env_;
  int saved_stdin_ = -1;
  int writer_ = -1;
};

struct LengthCase {
  const char* content_length;  // null: not set
  std::string input;
  int limit;
  BodyStatus status;
  std::string body;
  int length;
  std::string unread;
};

void PrintTo(const LengthCase& c, std::ostream* os) {
  *os << "CONTENT_LENGTH " << testing::PrintToString(c.content_length) << ", input "
      << testing::PrintToString(c.input) << ", limit " << c.limit;
}

class Lengths : public RequestBody, public testing::WithParamInterface<LengthCase> {};

TEST_P(Lengths, ReadsExactlyTheAnnouncedBytesOrRefuses) {
  const LengthCase& c = GetParam();
  Set("CONTENT_LENGTH", c.content_length);
  Input(c.input);
  Result result = Read(c.limit, 0, 0);
  EXPECT_EQ(result.status, c.status);
  EXPECT_EQ(result.body, c.body);
  EXPECT_EQ(result.length, c.length);
  EXPECT_EQ(Unread(), c.unread);
  // A refusal is answered with an error page: the visitor sees it, the journal does not.
  EXPECT_TRUE(harness::ListDir(harness::DataRoot() + "allerror").empty());
}

const std::string kForm = "nick=Ivan";
const std::string kBody = kForm + std::string(1, '\0');
const std::string kNull = "(null)";

INSTANTIATE_TEST_SUITE_P(Good, Lengths, testing::Values(
    LengthCase{"9", kForm, 100, BodyRead, kBody, 9, ""},
    LengthCase{"9", kForm, 9, BodyRead, kBody, 9, ""},
    LengthCase{"0009", kForm, 9, BodyRead, kBody, 9, ""},
    LengthCase{"0", "", 100, BodyRead, std::string(1, '\0'), 0, ""},
    LengthCase{"0", kForm, 100, BodyRead, std::string(1, '\0'), 0, kForm},
    LengthCase{"4", kForm, 100, BodyRead, std::string("nick\0", 5), 4, "=Ivan"},
    LengthCase{"5", std::string("a\0b\r\n", 5), 5, BodyRead, std::string("a\0b\r\n\0", 6), 5, ""}));

INSTANTIATE_TEST_SUITE_P(Refused, Lengths, testing::Values(
    LengthCase{nullptr, kForm, 100, BodyNoLength, kNull, 0, kForm},
    LengthCase{"", kForm, 100, BodyNoLength, kNull, 0, kForm},
    LengthCase{"-1", kForm, 100, BodyBadLength, kNull, 0, kForm},
    LengthCase{"1e3", kForm, 100, BodyBadLength, kNull, 0, kForm},
    LengthCase{" 12", kForm, 100, BodyBadLength, kNull, 0, kForm},
    LengthCase{"12 ", kForm, 100, BodyBadLength, kNull, 0, kForm},
    LengthCase{"+5", kForm, 100, BodyBadLength, kNull, 0, kForm},
    LengthCase{"0x10", kForm, 100, BodyBadLength, kNull, 0, kForm},
    LengthCase{"99999999999999999999x", kForm, 100, BodyBadLength, kNull, 0, kForm},
    LengthCase{"10", kForm, 9, BodyTooLong, kNull, 10, kForm},
    LengthCase{"1", "", -1, BodyTooLong, kNull, 1, ""},
    // Digits beyond any int are still a length, and one over every limit.
    LengthCase{"99999999999999999999", kForm, INT_MAX, BodyTooLong, kNull, INT_MAX, kForm},
    LengthCase{"2147483647", kForm, INT_MAX, BodyTooLong, kNull, INT_MAX, kForm},
    LengthCase{"12", kForm, 100, BodyShort, kNull, 12, ""},
    LengthCase{"1", "", 100, BodyShort, kNull, 1, ""}));

TEST_F(RequestBody, SpareBytesFollowTheZeroAndAreZero) {
  Set("CONTENT_LENGTH", "9");
  Input(kForm);
  Result result = Read(100, 3, 0);
  EXPECT_EQ(result.status, BodyRead);
  EXPECT_EQ(result.body, kForm + std::string(4, '\0'));
}

TEST_F(RequestBody, OutParametersMayBeNull) {
  Set("CONTENT_LENGTH", "9");
  Input(kForm + "rest");
  EXPECT_EQ(ReadRequestBody(100, 0, 0, nullptr, nullptr, nullptr), BodyRead);
  EXPECT_EQ(Unread(), "rest");
}

struct TypeCase {
  const char* content_type;  // null: not set
  int types;
  BodyStatus status;
  int type;
};

void PrintTo(const TypeCase& c, std::ostream* os) {
  *os << "CONTENT_TYPE " << testing::PrintToString(c.content_type) << ", types " << c.types;
}

class Types : public RequestBody, public testing::WithParamInterface<TypeCase> {};

TEST_P(Types, AcceptsTheKindsAskedFor) {
  const TypeCase& c = GetParam();
  Set("CONTENT_TYPE", c.content_type);
  Set("CONTENT_LENGTH", "9");
  Input(kForm);
  Result result = Read(100, 0, c.types);
  EXPECT_EQ(result.status, c.status);
  EXPECT_EQ(result.type, c.type);
  // A body of the wrong kind is left unread.
  EXPECT_EQ(result.body, c.status == BodyRead ? kBody : kNull);
  EXPECT_EQ(Unread(), c.status == BodyRead ? "" : kForm);
}

constexpr int kEither = BodyUrlencoded | BodyMultipart;

INSTANTIATE_TEST_SUITE_P(AsBrowsersSendThem, Types, testing::Values(
    TypeCase{"application/x-www-form-urlencoded", BodyUrlencoded, BodyRead, BodyUrlencoded},
    TypeCase{"application/x-www-form-urlencoded;charset=UTF-8", kEither, BodyRead, BodyUrlencoded},
    TypeCase{"Application/X-WWW-Form-URLEncoded", BodyUrlencoded, BodyRead, BodyUrlencoded},
    TypeCase{"multipart/form-data; boundary=----WebKitFormBoundaryx7", kEither, BodyRead, BodyMultipart},
    TypeCase{"MULTIPART/FORM-DATA ; boundary=x", BodyMultipart, BodyRead, BodyMultipart},
    TypeCase{"\tmultipart/form-data", BodyMultipart, BodyRead, BodyMultipart},
    TypeCase{"text/plain", 0, BodyRead, 0}));

INSTANTIATE_TEST_SUITE_P(Refused, Types, testing::Values(
    TypeCase{nullptr, kEither, BodyWrongType, 0},
    TypeCase{"", kEither, BodyWrongType, 0},
    TypeCase{"text/plain", kEither, BodyWrongType, 0},
    TypeCase{"multipart/form-data; boundary=x", BodyUrlencoded, BodyWrongType, BodyMultipart},
    TypeCase{"application/x-www-form-urlencoded", BodyMultipart, BodyWrongType, BodyUrlencoded},
    TypeCase{"multipart/form-data-x", kEither, BodyWrongType, 0},
    TypeCase{"multipart/form-data x", kEither, BodyWrongType, 0},
    TypeCase{"application/x-www-form", kEither, BodyWrongType, 0}));

void Interrupted(int) {}

// A signal that arrives while the body is still on its way interrupts the read,
// which then goes on: the body is complete, not short.
TEST_F(RequestBody, ReadingGoesOnAfterASignal) {
  Set("CONTENT_LENGTH", "9");
  Input("nick", true);
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    usleep(300 * 1000);
    _exit(write(writer_, "=Ivan", 5) == 5 ? 0 : 1);
  }
  close(writer_);
  writer_ = -1;

  struct sigaction action = {}, old_action;
  action.sa_handler = Interrupted;  // without SA_RESTART, so read(2) fails with EINTR
  sigaction(SIGALRM, &action, &old_action);
  itimerval timer = {}, old_timer;
  timer.it_value.tv_usec = 50 * 1000;
  setitimer(ITIMER_REAL, &timer, &old_timer);

  Result result = Read(100, 0, 0);
  setitimer(ITIMER_REAL, &old_timer, nullptr);
  sigaction(SIGALRM, &old_action, nullptr);
  int status;
  waitpid(child, &status, 0);
  EXPECT_EQ(result.status, BodyRead);
  EXPECT_EQ(result.body, kBody);
}

}  // namespace
