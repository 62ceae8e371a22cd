// Writes hit logs for the report benchmark: LINES hit lines spread evenly over
// COUNTERS logs (c000.log, c001.log, ...) in DIRECTORY, as counter.cgi writes
// them, one year of days in order of time. Clients come from a pool of 20,000
// addresses, referers from 400 sites; the output is the same for the same
// arguments.
//   generate_hits DIRECTORY LINES COUNTERS
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {
constexpr int kDays = 365;
constexpr unsigned kClients = 20000;
constexpr unsigned kSites = 400;
constexpr int kDaysInMonth[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// xorshift64*: fast and fixed, so every run writes the same logs.
uint64_t Next(uint64_t* state) {
  *state ^= *state >> 12;
  *state ^= *state << 25;
  *state ^= *state >> 27;
  return *state * 2685821657736338717ULL;
}

struct Day {
  int day, month, year;
};

std::vector<Day> Year2025() {
  std::vector<Day> days;
  for (int month = 1; month <= 12; ++month)
    for (int day = 1; day <= kDaysInMonth[month - 1]; ++day) days.push_back({day, month, 2025});
  return days;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    fprintf(stderr, "usage: generate_hits DIRECTORY LINES COUNTERS\n");
    return 2;
  }
  std::string directory = argv[1];
  uint64_t lines = strtoull(argv[2], nullptr, 10);
  int counters = atoi(argv[3]);
  if (counters <= 0) return 2;
  std::vector<Day> days = Year2025();
  std::vector<char> buffer(1 << 20);
  uint64_t state = 0x9E3779B97F4A7C15ULL;
  for (int counter = 0; counter < counters; ++counter) {
    char path[4096];
    snprintf(path, sizeof path, "%s/c%03d.log", directory.c_str(), counter);
    FILE* out = fopen(path, "wb");
    if (out == nullptr) {
      perror(path);
      return 1;
    }
    setvbuf(out, buffer.data(), _IOFBF, buffer.size());
    uint64_t count = lines / counters + (static_cast<uint64_t>(counter) < lines % counters ? 1 : 0);
    for (uint64_t i = 0; i < count; ++i) {
      // Hits in order of time: the i-th of count falls at this moment of the year.
      uint64_t second_of_year = i * (uint64_t{kDays} * 86400) / count;
      const Day& d = days[second_of_year / 86400];
      unsigned second = static_cast<unsigned>(second_of_year % 86400);
      uint64_t r = Next(&state);
      unsigned client = static_cast<unsigned>(r % kClients);
      unsigned site = static_cast<unsigned>((r >> 20) % kSites);
      char address[32], forwarded[32];
      snprintf(address, sizeof address, "10.%u.%u.%u", client >> 16, (client >> 8) & 255, client & 255);
      // One hit in eight comes through a proxy that names the client.
      if ((r >> 40) % 8 == 0)
        snprintf(forwarded, sizeof forwarded, "198.51.%u.%u", (client >> 8) & 255, client & 255);
      else
        snprintf(forwarded, sizeof forwarded, "(null)");
      // One hit in five has no referer.
      if ((r >> 50) % 5 == 0) {
        fprintf(out, "Date: %02d.%02d.%04d Time: %02u:%02u:%02u A:%-15s H:%-15s IP:%-15s FROM:(null)\n",
                d.day, d.month, d.year, second / 3600, second / 60 % 60, second % 60, address,
                "(null)", forwarded);
      } else {
        fprintf(out,
                "Date: %02d.%02d.%04d Time: %02u:%02u:%02u A:%-15s H:%-15s IP:%-15s "
                "FROM:https://www.site%03u.example/articles/%u/page-%u.html?from=feed\n",
                d.day, d.month, d.year, second / 3600, second / 60 % 60, second % 60, address,
                "(null)", forwarded, site, static_cast<unsigned>(r >> 32) % 1000,
                static_cast<unsigned>(r >> 12) % 100);
      }
    }
    if (fclose(out) != 0) {
      perror(path);
      return 1;
    }
  }
  return 0;
}
