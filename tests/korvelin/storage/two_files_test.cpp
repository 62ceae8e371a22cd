#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <map>
#include <optional>
#include <regex>
#include <sstream>
#include <string>

#include "korvelin/storage/internal/store_age.h"
#include "korvelin/storage/two_files.h"
#include "tests/common/small_disk.h"
#include "tests/korvelin/storage/storage_fixture.h"

namespace {

constexpr time_t kEarlier = 1767225600;  // some fixed second; only the order matters
constexpr time_t kLater = kEarlier + 10;

class TwoFiles : public StorageTest {
 protected:
  std::string one() const { return Path("one"); }
  std::string two() const { return Path("two"); }

  // Creates the file with its text and modification time (seconds and nanoseconds).
  static void Make(const std::string& path, const std::string& text, time_t seconds, long nanos = 0) {
    harness::WriteFile(path, text);
    struct timespec times[2] = {{seconds, nanos}, {seconds, nanos}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
  }

  std::string Read(int part) const {
    char* text = nullptr;
    EXPECT_EQ(TwoFilesRead(part, one().c_str(), two().c_str(), &text), 0);
    if (text == nullptr) return "(null)";
    std::string result = text;
    free(text);
    return result;
  }

  int Write(int measure, int threshold, const std::string& text) const {
    return TwoFilesWrite(one().c_str(), two().c_str(), measure, threshold, text.c_str());
  }

  static std::string OpenFailure(const std::string& path) { return "Can't open file " + path + " (\"rb\")"; }
};

// Times are compared to the nanosecond. Writers break true ties by size; readers leave
// file 1 current then.
TEST_F(TwoFiles, ChoiceOfTheCurrentFile) {
  struct Case {
    const char* name;
    std::optional<std::string> text1, text2;
    time_t time1, time2;
    long nanos1, nanos2;
    int writer_choice;  // TwoFilesTime, and where TwoFilesWrite appends
    int reader_choice;  // the file TwoFilesRead reads as current
  } cases[] = {
      {"only file 1", "1111", std::nullopt, kLater, 0, 0, 0, 1, 1},
      {"only file 2", std::nullopt, "2222", 0, kLater, 0, 0, 2, 2},
      {"file 1 later", "11", "2222", kLater, kEarlier, 0, 0, 1, 1},
      {"file 2 later", "1111", "22", kEarlier, kLater, 0, 0, 2, 2},
      {"file 1 later within the second, longer", "1111", "22", kLater, kLater, 900000000, 0, 1, 1},
      {"file 2 later within the second, longer", "11", "2222", kLater, kLater, 0, 900000000, 2, 2},
      {"file 2 later by a nanosecond", "11", "2222", kLater, kLater, 5, 6, 2, 2},
      {"same moment, file 2 shorter", "1111", "22", kLater, kLater, 7, 7, 2, 1},
      {"same moment, same size", "1111", "2222", kLater, kLater, 7, 7, 1, 1},
      {"same moment, file 2 longer", "11", "2222", kLater, kLater, 7, 7, 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    harness::RemoveTree(one());
    harness::RemoveTree(two());
    if (c.text1) Make(one(), *c.text1, c.time1, c.nanos1);
    if (c.text2) Make(two(), *c.text2, c.time2, c.nanos2);
    EXPECT_EQ(TwoFilesTime(one().c_str(), two().c_str()), c.writer_choice);
    EXPECT_EQ(Read(2), c.reader_choice == 1 ? c.text1.value_or("") : c.text2.value_or(""));
    ASSERT_EQ(Write(0, 100, "+"), 0);
    EXPECT_EQ(harness::ReadFile(c.writer_choice == 1 ? one() : two()),
              (c.writer_choice == 1 ? *c.text1 : *c.text2) + "+");
  }
}

TEST_F(TwoFiles, ReadingThePartsOfBothGenerations) {
  Make(one(), "older ", kEarlier);
  Make(two(), "newer", kLater);
  EXPECT_EQ(Read(0), "older newer");
  EXPECT_EQ(Read(1), "older ");
  EXPECT_EQ(Read(2), "newer");
  EXPECT_EQ(Read(7), "");
  EXPECT_EQ(Read(-1), "");
  EXPECT_EQ(TwoFilesRead(0, one().c_str(), two().c_str(), nullptr), 0);  // nowhere to put it
  EXPECT_TRUE(Messages().empty());

  // Joined as strings: a zero byte ends each text there.
  Make(one(), std::string("ol\0der", 6), kEarlier);
  Make(two(), std::string("ne\0wer", 6), kLater);
  EXPECT_EQ(Read(0), "olne");
}

TEST_F(TwoFiles, MissingFilesContributeNothingButAJournalLine) {
  EXPECT_EQ(TwoFilesTime(one().c_str(), two().c_str()), 0);
  EXPECT_EQ(Read(0), "");
  EXPECT_EQ(Messages(), (std::vector<std::string>{OpenFailure(one()), OpenFailure(two())}));

  harness::ResetDataRoot();
  Make(one(), "only", kLater);
  EXPECT_EQ(Read(0), "only");
  EXPECT_EQ(Read(1), "");
  EXPECT_EQ(Read(2), "only");
  EXPECT_EQ(Messages(), (std::vector<std::string>{OpenFailure(two()), OpenFailure(two())}));
}

TEST_F(TwoFiles, SizeModeSwitchesOnceTheCurrentFileReachedTheThreshold) {
  EXPECT_EQ(Write(0, 100, "first"), 0);  // neither present: file 1 is created
  EXPECT_EQ(harness::ReadFile(one()), "first");
  EXPECT_FALSE(harness::Exists(two()));

  Make(one(), "old generation", kEarlier);
  Make(two(), std::string(99, 'x'), kLater);
  EXPECT_EQ(Write(2, 100, "y"), 0);  // 99 bytes: appended, carrying it to 100
  EXPECT_EQ(harness::ReadFile(two()), std::string(99, 'x') + "y");
  EXPECT_EQ(Write(2, 100, "z"), 0);  // 100 bytes: the other file is cut and takes the text
  EXPECT_EQ(harness::ReadFile(one()), "z");
  EXPECT_EQ(harness::ReadFile(two()), std::string(99, 'x') + "y");

  // A threshold of 0 switches on every write: the store keeps the last two texts.
  Make(one(), "a", kEarlier);
  Make(two(), "b", kLater);
  EXPECT_EQ(Write(0, 0, "c"), 0);
  EXPECT_EQ(Read(0), "bc");
  EXPECT_TRUE(Messages().empty());
}

TEST_F(TwoFiles, WriteFailuresGiveMinusOneSilently) {
  std::string missing_dir = Path("no-such-dir/one");
  EXPECT_EQ(TwoFilesWrite(missing_dir.c_str(), two().c_str(), 0, 100, "text"), -1);
  // /dev/full and a named pipe count as present (they open for reading), but only a
  // regular file is written, and a pipe is never waited on.
  EXPECT_EQ(TwoFilesWrite("/dev/full", two().c_str(), 0, 100, "text"), -1);
  ASSERT_EQ(mkfifo(one().c_str(), 0600), 0);
  EXPECT_EQ(Write(0, 100, "text"), -1);
  EXPECT_FALSE(harness::Exists(two()));
  EXPECT_TRUE(Messages().empty());
}

TEST_F(TwoFiles, FullDiskGivesMinusOneSilently) {
  int status = small_disk::RunOnFullDisk(dir_, [this] {
    return Write(0, 100, "text") == -1 && Write(0, 0, "text") == -1 ? 0 : 1;
  });
  if (status == small_disk::kUnavailable) GTEST_SKIP() << "no private mount namespace for a small tmpfs";
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(Messages().empty());
}

// Store files that are symbolic links are measured as the files they lead to.
TEST_F(TwoFiles, LinksAreFollowedForSizeAndTime) {
  Make(Path("real1"), "", kEarlier);
  Make(Path("real2"), "", kEarlier - 60);
  ASSERT_EQ(symlink(Path("real1").c_str(), one().c_str()), 0);
  ASSERT_EQ(symlink(Path("real2").c_str(), two().c_str()), 0);
  std::string text(60, 'x');
  for (int i = 0; i < 3; ++i) ASSERT_EQ(Write(0, 100, text), 0);
  EXPECT_EQ(harness::ReadFile(Path("real1")), text + text);
  EXPECT_EQ(harness::ReadFile(Path("real2")), text);
  EXPECT_EQ(TwoFilesTime(one().c_str(), two().c_str()), 2);
  EXPECT_EQ(Read(0), text + text + text);
}

// The file just written reads as the newer one even where its time would not say so:
// the other file's time is ahead of the clock (set back since, or a filesystem whose
// stamps are coarser than a burst of writes).
TEST_F(TwoFiles, TheFileJustWrittenReadsAsTheNewer) {
  time_t ahead = time(nullptr) + 3600;
  Make(one(), "current", ahead);
  Make(two(), "other", ahead - 60);
  ASSERT_EQ(Write(0, 100, "+"), 0);
  EXPECT_EQ(TwoFilesTime(one().c_str(), two().c_str()), 1);
  EXPECT_EQ(Read(0), "othercurrent+");
  ASSERT_EQ(Write(0, 0, "switched"), 0);
  EXPECT_EQ(TwoFilesTime(one().c_str(), two().c_str()), 2);
  EXPECT_EQ(Read(0), "current+switched");
}

// Texts written one right after the other by several processes, faster than the
// filesystem's clock may tick, keep exactly the generations that the same texts written
// far apart keep. The processes pass a token round, so the order of the texts is known.
TEST_F(TwoFiles, BurstsKeepTheGenerationsThatSlowWritesKeep) {
  constexpr int kWriters = 3;
  constexpr int kTexts = 12;
  auto text_of = [](int k) { return "text " + std::to_string(100 + k) + std::string(47, '.') + "\n"; };
  for (int threshold : {0, 1, 100, 150, 300}) {
    SCOPED_TRACE("threshold " + std::to_string(threshold));
    harness::RemoveTree(one());
    harness::RemoveTree(two());

    // What slow writes keep: size mode, the current file switched once it has reached
    // the threshold (file 1 current while neither file exists).
    std::string kept[2];
    int current = 0;
    for (int k = 0; k < kTexts; ++k) {
      if (static_cast<int>(kept[current].size()) >= threshold) {
        current = 1 - current;
        kept[current].clear();
      }
      kept[current] += text_of(k);
    }

    int token[kWriters][2];
    for (auto& p : token) ASSERT_EQ(pipe(p), 0);
    pid_t writers[kWriters];
    for (int w = 0; w < kWriters; ++w) {
      writers[w] = fork();
      ASSERT_GE(writers[w], 0);
      if (writers[w] == 0) {
        int failures = 0;
        char go;
        for (int k = w; k < kTexts; k += kWriters) {
          if (read(token[w][0], &go, 1) != 1) _exit(2);
          failures += Write(0, threshold, text_of(k)) != 0;
          if (write(token[(w + 1) % kWriters][1], "t", 1) != 1) _exit(2);
        }
        _exit(failures == 0 ? 0 : 1);
      }
    }
    ASSERT_EQ(write(token[0][1], "t", 1), 1);
    for (pid_t writer : writers) {
      int status = 0;
      waitpid(writer, &status, 0);
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    for (auto& p : token) {
      close(p[0]);
      close(p[1]);
    }
    EXPECT_EQ(Read(0), kept[1 - current] + kept[current]);
    EXPECT_EQ(Read(2), kept[current]);
  }
}

ftime Written(int year, int month, int day, int hour, int minute, int second) {
  ftime t{};
  t.year = static_cast<unsigned>(year - 1980);
  t.month = static_cast<unsigned>(month);
  t.day = static_cast<unsigned>(day);
  t.hour = static_cast<unsigned>(hour);
  t.minute = static_cast<unsigned>(minute);
  t.second = static_cast<unsigned>(second);
  return t;
}

TEST(StoreAge, MinutesFromTheOtherFilesLastWrite) {
  struct Case {
    const char* name;
    ftime written;
    date today;
    utime now;
    int minutes;
  } cases[] = {
      {"same day, 59", Written(2026, 3, 7, 9, 6, 59), {2026, 7, 3}, {5, 10, 0, 0}, 59},
      {"same day, 60 (seconds unused)", Written(2026, 3, 7, 9, 5, 59), {2026, 7, 3}, {5, 10, 99, 0}, 60},
      {"across midnight", Written(2026, 3, 6, 23, 50, 0), {2026, 7, 3}, {20, 0, 0, 0}, 30},
      {"across the new year", Written(2025, 12, 31, 23, 50, 0), {2026, 1, 1}, {20, 0, 0, 0}, 30},
      {"into a leap day", Written(2024, 2, 28, 12, 0, 0), {2024, 1, 3}, {0, 12, 0, 0}, 2 * 1440},
      {"clock set back a day", Written(2026, 3, 8, 10, 0, 0), {2026, 7, 3}, {0, 9, 0, 0}, -60},
      {"never written", ftime{}, {2026, 7, 3}, {0, 0, 0, 0}, 16868 * 1440},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(StoreAgeMinutes(c.written, c.today, c.now), c.minutes) << c.name;
  }
}

// The same against the real clock: the other file written 59 and 60 minutes ago.
TEST_F(TwoFiles, AgeModeSwitchesOnceTheOtherFileIsOldEnough) {
  time_t now = time(nullptr);
  struct tm local;
  localtime_r(&now, &local);
  // Near midnight the date would change while the files are set up.
  if (local.tm_hour == 23 && local.tm_min >= 58) GTEST_SKIP() << "too close to midnight";
  if (local.tm_hour == 0 && local.tm_min < 2) GTEST_SKIP() << "too close to midnight";
  // A minute that ends during the test would add one to the age.
  if (local.tm_sec >= 55) {
    sleep(static_cast<unsigned>(61 - local.tm_sec));
    now = time(nullptr);
  }

  Make(one(), "current", now);
  Make(two(), "other", now - 59 * 60);
  EXPECT_EQ(Write(1, 60, "+"), 0);
  EXPECT_EQ(harness::ReadFile(one()), "current+");
  EXPECT_EQ(harness::ReadFile(two()), "other");

  Make(one(), "current", now);
  Make(two(), "other", now - 60 * 60);
  EXPECT_EQ(Write(1, 60, "+"), 0);
  EXPECT_EQ(harness::ReadFile(one()), "current");
  EXPECT_EQ(harness::ReadFile(two()), "+");

  // A missing other file is decades old: the first write of an empty store creates file 2.
  harness::RemoveTree(one());
  harness::RemoveTree(two());
  EXPECT_EQ(Write(1, 60, "first"), 0);
  EXPECT_FALSE(harness::Exists(one()));
  EXPECT_EQ(harness::ReadFile(two()), "first");
}

// Four processes append 500 texts each to one store in size mode, all starting at
// once. Each writer's texts have their own length, so a text written over another
// shows as a torn line. Within each file every line must be whole, each writer's
// texts must follow one another without a gap, and the file must stay below the
// threshold plus one text: two writers switching at once would cut away or overwrite
// a text just written, two appending at once would carry a file past that bound.
TEST_F(TwoFiles, ConcurrentWritersLoseAndTearNothing) {
  constexpr int kWriters = 4;
  constexpr int kTexts = 500;
  constexpr int kThreshold = 1000;
  constexpr size_t kLongestText = 7 + 3 * (kWriters - 1);
  int start[2];
  ASSERT_EQ(pipe(start), 0);
  pid_t writers[kWriters];
  for (int w = 0; w < kWriters; ++w) {
    writers[w] = fork();
    ASSERT_GE(writers[w], 0);
    if (writers[w] == 0) {
      close(start[1]);
      char go;
      if (read(start[0], &go, 1) != 0) _exit(2);  // returns once the parent closes its end
      int failures = 0;
      for (int i = 0; i < kTexts; ++i) {
        // "w<writer>:<three digits>", 3 dashes per writer number, a line feed
        std::string text = "w" + std::to_string(w) + ":" + std::to_string(1000 + i).substr(1) +
                           std::string(3 * w, '-') + "\n";
        failures += Write(0, kThreshold, text) != 0;
      }
      _exit(failures == 0 ? 0 : 1);
    }
  }
  close(start[0]);
  close(start[1]);
  for (pid_t writer : writers) {
    int status = 0;
    waitpid(writer, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }

  for (const std::string& file : {one(), two()}) {
    SCOPED_TRACE(file);
    std::string text = harness::ReadFile(file);
    EXPECT_LT(text.size(), kThreshold + kLongestText);
    ASSERT_EQ(text.back(), '\n');
    std::istringstream lines(text);
    std::map<int, int> last;  // writer -> last number seen in this file
    const std::regex kLine("w([0-3]):([0-9]{3})(-*)");
    std::string line;
    while (std::getline(lines, line)) {
      std::smatch parts;
      ASSERT_TRUE(std::regex_match(line, parts, kLine)) << line;
      int writer = std::stoi(parts[1]);
      int number = std::stoi(parts[2]);
      ASSERT_EQ(parts[3].length(), 3 * writer) << line;
      if (last.count(writer)) {
        EXPECT_EQ(number, last[writer] + 1) << line;
      }
      last[writer] = number;
    }
  }
}

}  // namespace
