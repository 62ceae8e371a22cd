// TwoFilesWrite in size mode at full speed, faster than the filesystem's clock may tick:
// after any run of writes the store holds exactly the generations that the same writes
// spread over time would keep.
#include <fuzzer/FuzzedDataProvider.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "korvelin/storage/two_files.h"
#include "fuzz/common.h"

namespace {

// A directory of the target's own inside the fuzz build's data root.
std::string StoreDir() {
  std::string dir = std::string(KORVELIN_DATA_ROOT) + "store";
  for (std::size_t slash = 1; slash != std::string::npos; slash = dir.find('/', slash + 1)) {
    mkdir(dir.substr(0, slash).c_str(), 0700);
  }
  mkdir(dir.c_str(), 0700);
  return dir + "/";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string dir = StoreDir();
  static const std::string one = dir + "one";
  static const std::string two = dir + "two";
  unlink(one.c_str());
  unlink(two.c_str());

  FuzzedDataProvider input(data, size);
  int threshold = input.ConsumeIntegralInRange(-1, 300);
  // What slow writes keep: the current file switched once it has reached the threshold
  // (file 1 current while neither file exists).
  std::string kept[2];
  int current = 0;
  for (int writes = 0; writes < 64 && input.remaining_bytes() > 0; ++writes) {
    std::string text = fuzz::Text(input, 100);
    FUZZ_CHECK(TwoFilesWrite(one.c_str(), two.c_str(), 0, threshold, text.c_str()) == 0);
    if (static_cast<int>(kept[current].size()) >= threshold) {
      current = 1 - current;
      kept[current].clear();
    }
    kept[current] += text;
  }
  char* both = nullptr;
  TwoFilesRead(0, one.c_str(), two.c_str(), &both);
  FUZZ_CHECK(both != nullptr && both == kept[1 - current] + kept[current]);
  free(both);
  return 0;
}
