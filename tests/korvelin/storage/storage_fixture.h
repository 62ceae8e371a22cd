// A private directory and the error journal for the storage tests.
#ifndef KORVELIN_TESTS_STORAGE_STORAGE_FIXTURE_H
#define KORVELIN_TESTS_STORAGE_STORAGE_FIXTURE_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "korvelin/text/cp1251.h"
#include "tests/common/harness.h"

// A Windows-1251 text as a string, for building expected journal lines and pages.
template <std::size_t N>
std::string Win(const Cp1251Text<N>& text) {
  return std::string(text.bytes, text.size);
}

class StorageTest : public testing::Test {
 protected:
  void SetUp() override {
    harness::ResetDataRoot();
    env_.Set("SCRIPT_NAME", "/cgi-bin/storetest.cgi");
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    dir_ = harness::ScratchDir(std::string(test->test_suite_name()) + "." + test->name());
  }

  std::string Path(const std::string& name) const { return dir_ + "/" + name; }

  // The messages of the journal entries written so far, oldest first.
  static std::vector<std::string> Messages() {
    std::string journal = harness::ReadFile(harness::DataRoot() + "allerror/storetes.txt");
    std::vector<std::string> messages;
    // An entry is a date line, an address line, the message and an empty line.
    std::size_t at = 0;
    while (at < journal.size()) {
      std::size_t message = journal.find('\n', journal.find('\n', at) + 1) + 1;
      std::size_t end = journal.find("\n\n", message);
      messages.push_back(journal.substr(message, end - message));
      at = end + 2;
    }
    return messages;
  }

  std::string dir_;

 private:
  harness::ScopedEnv env_;
};

#endif
