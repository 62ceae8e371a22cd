#include "korvelin/storage/error_page.h"

#include <cstdio>
#include <iostream>
#include <string>

#include "korvelin/text/cp1251.h"
#include "korvelin/support/internal/strings.h"

// This is the library's only use of the standard streams; keeping it in this file
// means a program that never writes an error page links none of it.
namespace {
const std::string content_type = "Content-Type: text/html; charset=WINDOWS-1251\n\n";

constexpr auto kPageTitle = Cp1251(u8"<title>Ошибка</title>");
constexpr auto kReloadLink =
    Cp1251(u8"<a href=\"JavaScript:window.location.reload();\">Обновить</a>&nbsp; &nbsp; &nbsp; ");
constexpr auto kBackLink =
    Cp1251(u8"<a href=\"JavaScript:history.back();\">Назад</a>&nbsp; &nbsp; &nbsp; ");

constexpr auto kPathTitle = Cp1251(u8"Произошла ошибка при передаче параметров");
constexpr auto kPathHint = Cp1251(u8"Попробуйте отправить запрос заново.");
constexpr auto kReadTitle = Cp1251(u8"Произошла ошибка при чтении данных");
constexpr auto kReadHint = Cp1251(u8"Попробуйте обновить страницу.");
}  // namespace

void WriteErr(const char* title, const char* hint, int reload, int back, int /*flag*/) {
  // The header goes through the stream object and the page through stdio. Flushing
  // stdio before and the stream after keeps them in order on file descriptor 1 even
  // when the program has unsynchronised the streams from stdio.
  fflush(stdout);
  std::cout << content_type << std::flush;
  printf("<html>\n<head>\n%s\n</head>\n<body>\n<br><center>\n", kPageTitle.c_str());
  printf("<font size=5 color=\"#808000\"><b>%s</b></font><br><br>\n", OrNull(title));
  printf("<font size=4 color=\"#808000\">%s</font><br><br><br><br>\n", OrNull(hint));
  if (reload) printf("%s", kReloadLink.c_str());
  if (back) printf("%s", kBackLink.c_str());
  printf("</center>\n</body>\n</html>");
  // A CGI program often exits right after the page; the whole page is out by then.
  fflush(stdout);
}

void WritePathErr() { WriteErr(kPathTitle.c_str(), kPathHint.c_str(), 0, 1, 1); }

void WriteReadErr() { WriteErr(kReadTitle.c_str(), kReadHint.c_str(), 1, 1, 1); }
