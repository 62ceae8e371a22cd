#include "bench/library/inputs.h"

#include <cstdio>
#include <random>

namespace bench {

namespace {
// Field templates cycled through: name suffixes select the decoder's kinds.
const char* const kFields[] = {
    "name%d=Ivan+Petrov",
    "city%d=%%CC%%EE%%F1%%EA%%E2%%E0",  // Москва in Windows-1251
    "about%d10=First+line%%0D%%0ASecond+line%%0D%%0A%%22quoted%%22+%%26+more",
    "note%dbiu=%%3Cb%%3Ebold%%3C%%2Fb%%3E+and+%%3Ci%%3Eitalic%%3C%%2Fi%%3E+%%3Cscript%%3E",
    "email%d=ivan.petrov%%40example.org",
    "text%d=%%D1%%EE%%EE%%E1%%F9%%E5%%ED%%E8%%E5+%%E4%%EB%%FF+%%F4%%EE%%F0%%F3%%EC%%E0%%09tab",
};
}  // namespace

std::string UrlEncodedForm(std::size_t size) {
  std::string form;
  char field[256];
  for (int i = 0; form.size() < size; ++i) {
    std::snprintf(field, sizeof field, kFields[i % (sizeof kFields / sizeof kFields[0])], i);
    if (!form.empty()) form += '&';
    form += field;
  }
  return form;
}

std::string RecordName(int index) {
  char name[32];
  std::snprintf(name, sizeof name, "field%04d", index);
  return name;
}

std::string RecordBuffer(int count) {
  std::string buffer;
  for (int i = 0; i < count; ++i) {
    buffer += RecordName(i) + "=value of the field, with some text in it " + std::to_string(i);
    buffer += "\r\n";
  }
  return buffer;
}

const char kBoundaryLine[] = "------WebKitFormBoundary7MA4YWxkTrZu0gW";

namespace {
void AppendTextPart(std::string& body, const char* name, const char* value) {
  body += kBoundaryLine;
  body += "\r\nContent-Disposition: form-data; name=\"";
  body += name;
  body += "\"\r\n\r\n";
  body += value;
  body += "\r\n";
}

void AppendFileData(std::string& body, std::size_t size, FileBytes kind) {
  std::size_t start = body.size();
  if (kind == FileBytes::kRandom) {
    std::mt19937_64 random(2026);
    while (body.size() - start < size) {
      unsigned long long word = random();
      body.append(reinterpret_cast<const char*>(&word), sizeof word);
    }
  } else {
    std::string near = std::string("\n") + kBoundaryLine;
    near.back() ^= 1;  // one byte short of the line that would end the data
    while (body.size() - start < size) body += near;
  }
  body.resize(start + size);
}
}  // namespace

namespace {
// Everything before the file's data.
std::string PartsBeforeFile() {
  std::string body;
  AppendTextPart(body, "title", "Holiday photos");
  body += kBoundaryLine;
  body += "\r\nContent-Disposition: form-data; name=\"photo\"; filename=\"sea.jpg\"\r\n"
          "Content-Type: image/jpeg\r\n\r\n";
  return body;
}
}  // namespace

std::size_t FileDataStart() { return PartsBeforeFile().size(); }

std::vector<char> MultipartBody(std::size_t file_size, FileBytes kind) {
  std::string body = PartsBeforeFile();
  AppendFileData(body, file_size, kind);
  body += "\r\n";
  AppendTextPart(body, "comment", "The sea at dawn");
  body += kBoundaryLine;
  body += "--\r\n";
  std::vector<char> bytes(body.begin(), body.end());
  bytes.push_back('\0');
  return bytes;
}

void RestoreBytes(std::vector<char>& body, const std::vector<char>& pristine, const std::vector<char*>& ends) {
  for (char* end : ends) {
    std::size_t at = static_cast<std::size_t>(end - body.data());
    body[at] = pristine[at];
  }
}

}  // namespace bench
