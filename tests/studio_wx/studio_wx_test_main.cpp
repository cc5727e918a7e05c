// The Studio's GUI tests' main: the toolkit runs for the whole test program; a toolkit
// assertion fails the test that caused it instead of opening a dialog that waits forever.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/image.h>
#include <wx/init.h>

#include <clocale>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--gtest_list_tests") == 0)
      return RUN_ALL_TESTS();
  }
  wxApp::SetInstance(new wxApp);
  if (!wxEntryStart(argc, argv)) {
    std::fprintf(stderr, "quillon_studio_wx_tests: cannot open the display to show windows\n");
    return 1;
  }
  std::setlocale(LC_NUMERIC, "C");
  wxInitAllImageHandlers();
  wxSetAssertHandler([](const wxString& file, int line, const wxString&, const wxString& cond,
                        const wxString& msg) {
    ADD_FAILURE_AT(file.utf8_str(), line)
        << "toolkit assertion " << cond.utf8_str() << ": " << msg.utf8_str();
  });
  int status = 1;
  if (wxTheApp->CallOnInit()) {
    status = RUN_ALL_TESTS();
    wxTheApp->OnExit();
  }
  wxEntryCleanup();
  return status;
}
