#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <iostream>
#include <string>

#include "korvelin/storage/error_page.h"
#include "tests/korvelin/storage/storage_fixture.h"

namespace {

using ErrorPage = StorageTest;

const std::string kHead =
    "Content-Type: text/html; charset=WINDOWS-1251\n\n"
    "<html>\n<head>\n" + Win(Cp1251(u8"<title>Ошибка</title>")) + "\n</head>\n<body>\n<br><center>\n";
const std::string kReload =
    Win(Cp1251(u8"<a href=\"JavaScript:window.location.reload();\">Обновить</a>&nbsp; &nbsp; &nbsp; "));
const std::string kBack = Win(Cp1251(u8"<a href=\"JavaScript:history.back();\">Назад</a>&nbsp; &nbsp; &nbsp; "));
const std::string kTail = "</center>\n</body>\n</html>";

std::string Lines(const std::string& title, const std::string& hint) {
  return "<font size=5 color=\"#808000\"><b>" + title + "</b></font><br><br>\n" +
         "<font size=4 color=\"#808000\">" + hint + "</font><br><br><br><br>\n";
}

// Everything written on file descriptor 1 while write runs.
std::string Captured(const std::string& file, const std::function<void()>& write) {
  fflush(stdout);
  std::cout.flush();
  int saved = dup(STDOUT_FILENO);
  int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  dup2(fd, STDOUT_FILENO);
  close(fd);
  write();
  fflush(stdout);
  std::cout.flush();
  dup2(saved, STDOUT_FILENO);
  close(saved);
  return harness::ReadFile(file);
}

TEST_F(ErrorPage, ReadyMadePagesByteForByte) {
  std::string path_title = Win(Cp1251(u8"Произошла ошибка при передаче параметров"));
  std::string path_hint = Win(Cp1251(u8"Попробуйте отправить запрос заново."));
  EXPECT_EQ(Captured(Path("out"), WritePathErr), kHead + Lines(path_title, path_hint) + kBack + kTail);

  std::string read_title = Win(Cp1251(u8"Произошла ошибка при чтении данных"));
  std::string read_hint = Win(Cp1251(u8"Попробуйте обновить страницу."));
  EXPECT_EQ(Captured(Path("out"), WriteReadErr),
            kHead + Lines(read_title, read_hint) + kReload + kBack + kTail);
}

TEST_F(ErrorPage, LinksFollowTheirFlagsAndTextsGoInUnescaped) {
  struct Case {
    const char* title;
    int reload, back, flag;
    std::string links;
  } cases[] = {
      {"<i>x & y</i>", 0, 0, 1, ""},
      {"", 1, 0, 0, kReload},
      {"t", 7, -1, 0, kReload + kBack},
  };
  for (const Case& c : cases) {
    std::string page = Captured(Path("out"), [&] { WriteErr(c.title, "<b>hint</b>", c.reload, c.back, c.flag); });
    EXPECT_EQ(page, kHead + Lines(c.title, "<b>hint</b>") + c.links + kTail) << c.title;
  }
}

// A program that unties the streams from stdio and leaves stdio output pending still
// gets the header after what it wrote and before the page, and the whole page is out
// even when the program ends without flushing anything.
TEST_F(ErrorPage, OrderedAndCompleteWhenStreamsAreUnsynchronised) {
  std::string file = Path("out");
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(fd, STDOUT_FILENO);
    std::ios::sync_with_stdio(false);
    printf("Status: 500\n");
    WriteErr("t", "h", 0, 0, 1);
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(harness::ReadFile(file), "Status: 500\n" + kHead + Lines("t", "h") + kTail);
}

}  // namespace
