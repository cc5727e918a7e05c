// The GUI tests' main: the toolkit runs for the whole test program; a toolkit assertion
// fails the test that caused it instead of opening a dialog that would wait forever.
#include <gtest/gtest.h>

#include <cstring>

#include "ui/wx/wx_platform.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--gtest_list_tests") == 0)
      return RUN_ALL_TESTS();
  }
  return quillon::ui::wx::RunWithToolkit(argc, argv, [] {
    wxSetAssertHandler([](const wxString& file, int line, const wxString&, const wxString& cond,
                          const wxString& msg) {
      ADD_FAILURE_AT(file.utf8_str(), line)
          << "toolkit assertion " << cond.utf8_str() << ": " << msg.utf8_str();
    });
    return RUN_ALL_TESTS();
  });
}
