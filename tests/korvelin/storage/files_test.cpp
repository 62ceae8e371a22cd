#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

#include "korvelin/storage/files.h"
#include "tests/common/small_disk.h"
#include "tests/korvelin/storage/storage_fixture.h"

namespace {

using Files = StorageTest;

std::string AttemptsMessage(int reads, const std::string& path) {
  return std::to_string(reads) + Win(Cp1251(u8" раз прочитан файл ")) + path +
         Win(Cp1251(u8", но не найден последний символ"));
}

TEST_F(Files, ExistsMeansReadable) {
  harness::WriteFile(Path("plain"), "abc");
  harness::WriteFile(Path("locked"), "abc");
  chmod(Path("locked").c_str(), 0200);
  mkfifo(Path("fifo").c_str(), 0600);
  EXPECT_EQ(FileExists(Path("plain").c_str()), 1);
  EXPECT_EQ(FileExists(Path("missing").c_str()), 0);
  EXPECT_EQ(FileExists(Path("fifo").c_str()), 1);  // opened without waiting for a writer
  if (geteuid() != 0) {
    EXPECT_EQ(FileExists(Path("locked").c_str()), 0);
  }
  EXPECT_TRUE(Messages().empty());
}

TEST_F(Files, LengthOfTheEntryItself) {
  harness::WriteFile(Path("five"), "12345");
  std::string target = Path("five");
  ASSERT_EQ(symlink(target.c_str(), Path("link").c_str()), 0);
  EXPECT_EQ(filelen(Path("five").c_str()), 5);
  EXPECT_EQ(filelen(Path("link").c_str()), static_cast<int>(target.size()));
  EXPECT_EQ(filelen(Path("missing").c_str()), -1);
}

TEST_F(Files, WriteReplacesTheWholeFile) {
  harness::WriteFile(Path("text"), "a much longer old text");
  EXPECT_EQ(FileWrite(Path("text").c_str(), "abc"), 0);
  EXPECT_EQ(harness::ReadFile(Path("text")), "abc");
  EXPECT_EQ(FileWrite(Path("empty").c_str(), ""), 0);
  EXPECT_TRUE(harness::Exists(Path("empty")));
  EXPECT_EQ(harness::ReadFile(Path("empty")), "");
  EXPECT_TRUE(Messages().empty());
}

// Only a regular file is written: a device or a named pipe is refused as a failure to
// open (and the pipe never waited on); nothing is cut on the way.
TEST_F(Files, WriteFailuresAreReportedAndJournaled) {
  std::string unopenable = Path("no-such-dir/text");
  ASSERT_EQ(mkfifo(Path("fifo").c_str(), 0600), 0);
  ASSERT_EQ(mkdir(Path("dir").c_str(), 0700), 0);
  EXPECT_EQ(FileWrite(unopenable.c_str(), "abc"), -1);
  EXPECT_EQ(FileWrite("/dev/full", "abc"), -1);
  EXPECT_EQ(FileWrite(Path("fifo").c_str(), "abc"), -1);
  EXPECT_EQ(FileWrite(Path("dir").c_str(), "abc"), -1);
  auto cant_open = [](const std::string& path) { return "Can't open file " + path + " (\"wb\")"; };
  EXPECT_EQ(Messages(), (std::vector<std::string>{cant_open(unopenable), cant_open("/dev/full"),
                                                  cant_open(Path("fifo")), cant_open(Path("dir"))}));
}

// A file that opens but cannot take the text: a full disk.
TEST_F(Files, WriteToAFullDiskIsReportedAndJournaled) {
  std::string path = Path("text");
  int status = small_disk::RunOnFullDisk(dir_, [&] { return FileWrite(path.c_str(), "abc") == -1 ? 0 : 1; });
  if (status == small_disk::kUnavailable) GTEST_SKIP() << "no private mount namespace for a small tmpfs";
  EXPECT_EQ(status, 0);
  EXPECT_EQ(Messages(), std::vector<std::string>{"Can't write file " + path + " (\"wb\")"});
}

TEST_F(Files, DeleteRemovesFilesAndEmptyDirectories) {
  harness::WriteFile(Path("file"), "x");
  mkdir(Path("empty").c_str(), 0700);
  mkdir(Path("full").c_str(), 0700);
  harness::WriteFile(Path("full/file"), "x");
  EXPECT_EQ(FileDelete(Path("file").c_str()), 0);
  EXPECT_EQ(FileDelete(Path("empty").c_str()), 0);
  EXPECT_FALSE(harness::Exists(Path("file")));
  EXPECT_FALSE(harness::Exists(Path("empty")));
  EXPECT_TRUE(Messages().empty());

  EXPECT_EQ(FileDelete(Path("missing").c_str()), -1);
  EXPECT_EQ(FileDelete(Path("full").c_str()), -1);
  std::string cant = Win(Cp1251(u8"Не получается удалить файл "));
  EXPECT_EQ(Messages(), (std::vector<std::string>{cant + Path("missing") + " (Can't remove)",
                                                  cant + Path("full") + " (Can't remove)"}));
}

TEST_F(Files, LongMessagesAreCutAtTheirBuffer) {
  std::string path = Path(std::string(300, 'p'));
  EXPECT_EQ(FileDelete(path.c_str()), -1);
  std::string whole = Win(Cp1251(u8"Не получается удалить файл ")) + path + " (Can't remove)";
  EXPECT_EQ(Messages(), std::vector<std::string>{whole.substr(0, 199)});
}

TEST_F(Files, BufferHoldsTheBytesAZeroAndTheSpareBytes) {
  harness::WriteFile(Path("five"), "hello");
  char* text = FileRead(Path("five").c_str(), 1, 10, 'n');
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(std::string(text, 6), std::string("hello\0", 6));
  memset(text + 6, 'x', 10);  // all ten spare bytes belong to the block
  free(text);

  harness::WriteFile(Path("empty"), "");
  text = FileRead(Path("empty").c_str(), 1, 3, 'n');
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text[0], '\0');
  memset(text + 1, 'x', 3);
  free(text);

  // Bytes after a zero byte are read too, though the string ends at the zero.
  harness::WriteFile(Path("zero"), std::string("ab\0cd", 5));
  text = FileRead(Path("zero").c_str(), 1, 0, 'n');
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(std::string(text, 6), std::string("ab\0cd\0", 6));
  EXPECT_EQ(strlen(text), 2u);
  free(text);
  EXPECT_TRUE(Messages().empty());
}

TEST_F(Files, EndMarkerModeReadsUntilTheLastByteIs27) {
  harness::WriteFile(Path("done"), "text\x1b");
  harness::WriteFile(Path("unfinished"), "text");
  harness::WriteFile(Path("empty"), "");

  char* text = FileRead(Path("done").c_str(), 1, 0, 'y');
  ASSERT_NE(text, nullptr);
  EXPECT_STREQ(text, "text\x1b");
  free(text);
  text = FileRead(Path("unfinished").c_str(), 1, 0, 'n');  // outside the mode: read once
  ASSERT_NE(text, nullptr);
  EXPECT_STREQ(text, "text");
  free(text);
  EXPECT_TRUE(Messages().empty());

  EXPECT_EQ(FileRead(Path("unfinished").c_str(), 2, 0, 'y'), nullptr);
  EXPECT_EQ(FileRead(Path("empty").c_str(), 3, 0, 'y'), nullptr);
  // With no attempts nothing is opened, so a missing file gives no open failure.
  EXPECT_EQ(FileRead(Path("missing").c_str(), 0, 0, 'n'), nullptr);
  EXPECT_EQ(FileRead(Path("missing").c_str(), -5, 0, 'y'), nullptr);
  EXPECT_EQ(Messages(), (std::vector<std::string>{AttemptsMessage(2, Path("unfinished")),
                                                  AttemptsMessage(3, Path("empty")),
                                                  AttemptsMessage(0, Path("missing")),
                                                  AttemptsMessage(0, Path("missing"))}));
}

// A writer appends the text piece by piece while the reader keeps re-reading: each
// growth takes a larger buffer, and the leak checker sees every earlier one released.
TEST_F(Files, EndMarkerModeFollowsAGrowingFile) {
  std::string path = Path("growing");
  harness::WriteFile(path, "");
  std::string piece(1000, 'g');
  pid_t writer = fork();
  ASSERT_GE(writer, 0);
  if (writer == 0) {
    int fd = open(path.c_str(), O_WRONLY | O_APPEND);
    for (int i = 0; i < 20; ++i) {
      if (write(fd, piece.data(), piece.size()) != static_cast<ssize_t>(piece.size())) _exit(1);
      usleep(1000);
    }
    _exit(write(fd, "\x1b", 1) == 1 ? 0 : 1);
  }
  char* text = FileRead(path.c_str(), INT_MAX, 0, 'y');
  int status = 0;
  waitpid(writer, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  ASSERT_NE(text, nullptr);
  std::string expected;
  for (int i = 0; i < 20; ++i) expected += piece;
  EXPECT_EQ(text, expected + "\x1b");
  free(text);
}

TEST_F(Files, OpenFailuresAreJournaledOnRequest) {
  EXPECT_EQ(FileReadWithParam(Path("missing").c_str(), 1, 0, 'n', 0), nullptr);
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(FileRead(Path("missing").c_str(), 1, 0, 'n'), nullptr);
  EXPECT_EQ(Messages(), std::vector<std::string>{"Can't open file " + Path("missing") + " (\"rb\")"});
}

// A directory or a named pipe has no length to read whole; the reader refuses them
// whatever the journal flag says, and never waits on the pipe.
TEST_F(Files, PathsWithoutALengthAreRefused) {
  mkdir(Path("dir").c_str(), 0700);
  ASSERT_EQ(mkfifo(Path("fifo").c_str(), 0600), 0);
  EXPECT_EQ(FileReadWithParam(Path("dir").c_str(), 1, 0, 'n', 0), nullptr);
  EXPECT_EQ(FileRead(Path("fifo").c_str(), 3, 0, 'y'), nullptr);
  EXPECT_EQ(Messages(),
            (std::vector<std::string>{"Can't get length of file " + Path("dir") + " (\"rb\")",
                                      "Can't get length of file " + Path("fifo") + " (\"rb\")"}));
}

TEST_F(Files, FilesOf2GiBAreRefused) {
  std::string path = Path("huge");
  harness::WriteFile(path, "");
  if (truncate(path.c_str(), 1LL << 31) != 0) GTEST_SKIP() << "no sparse 2 GiB file here";
  EXPECT_EQ(filelen(path.c_str()), INT_MAX);
  EXPECT_EQ(FileRead(path.c_str(), 1, 0, 'n'), nullptr);
  ASSERT_EQ(truncate(path.c_str(), (1LL << 31) - 1), 0);
  EXPECT_EQ(filelen(path.c_str()), INT_MAX);
  EXPECT_EQ(Messages(),
            std::vector<std::string>{"File " + path + " is too long (2147483648 bytes)"});
}

// The buffer cannot be had: in a child whose address space is capped, the reader
// asks for more than the cap, journals the size it asked for, and returns null.
TEST_F(Files, RefusedAllocationIsJournaled) {
  std::string path = Path("five");
  harness::WriteFile(path, "hello");
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    struct rlimit cap;
    getrlimit(RLIMIT_AS, &cap);
    cap.rlim_cur = 1LL << 30;  // 1 GiB: too little for the 2 GiB asked for
    if (setrlimit(RLIMIT_AS, &cap) != 0) _exit(2);
    char* text = FileRead(path.c_str(), 1, INT_MAX, 'n');
    _exit(text == nullptr ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == 2) GTEST_SKIP() << "cannot cap the address space";
  ASSERT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(Messages(), std::vector<std::string>{
                            Win(Cp1251(u8"Не хватает памяти для указателя (malloc(2147483653)=NULL) для ")) +
                            path});
}

TEST(FilesGlobals, AttemptCountStartsAt50) { EXPECT_EQ(AttemptCount, 50); }

}  // namespace
