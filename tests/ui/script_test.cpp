#include "ui/headless/headless_platform.h"

#include <gtest/gtest.h>

#include <functional>

#include "ui/application.h"
#include "ui/dialog.h"
#include "ui/file_dialog.h"

namespace quillon::ui {
namespace {

using headless::HeadlessPlatform;
using headless::Script;

ResourceSet OneDialog() {
  ResourceSet set;
  set.dialogs.push_back(DialogTemplate{
      "PAIR",
      "Pair",
      Rect{0, 0, 100, 50},
      kCaption,
      "",
      0,
      {{ControlKind::Edit, 10, "", {5, 5, 20, 12}, kBorder | kTabStop},
       {ControlKind::PushButton, kIdOk, "OK", {5, 30, 20, 10}, kTabStop | kDefaultButton}}});
  return set;
}

// What the modal windows a program opened gave back.
struct Outcome {
  std::vector<int> results;
};

TEST(ScriptTest, AnyMismatchFailsReadablyAndTheProgramUnwinds) {
  struct Case {
    const char* name;
    std::function<void(Script&)> script;
    std::function<void(Application&, Outcome&)> program;
    std::vector<int> results;
    std::string report;  // Finish()
  };
  auto openPair = [](Application& app, Outcome& run) {
    Dialog dialog(app, "pair");
    run.results.push_back(dialog.DoModal());
  };
  auto message = [](Application& app, Outcome& run) {
    run.results.push_back(app.MessageBox(nullptr, "hello"));
  };
  auto openFile = [](Application& app, Outcome& run) {
    FileDialog file(app, true, "", "", kFileMustExist);
    file.SetTitle("Open");
    run.results.push_back(file.DoModal());
  };
  const Case cases[] = {
      {"a message box nobody expects",
       [](Script&) {},
       message,
       {kIdOk},
       "a message box \"quillon\" saying \"hello\" opened, but the script has no steps left\n"},
      {"another dialog than expected",
       [](Script& s) { s.ExpectDialog("OTHER").Click(kIdOk); },
       [&](Application& app, Outcome& run) {
         openPair(app, run);
         message(app, run);  // answered without a second failure
       },
       {kIdCancel, kIdOk},
       "dialog PAIR \"Pair\" opened, but the script expected dialog OTHER to open\n"
       "step not played: dialog OTHER to open\n"
       "step not played: a click on 1\n"},
      {"a dialog left waiting",
       [](Script& s) { s.ExpectDialog("Pair").Type(10, "x"); },
       openPair,
       {kIdCancel},
       "dialog PAIR \"Pair\" waits for the user, but the script has no steps left\n"},
      {"a dialog waiting while a message box is expected",
       [](Script& s) { s.ExpectDialog("Pair").Message("hello").Click(kIdOk); },
       openPair,
       {kIdCancel},
       "dialog PAIR \"Pair\" waits for the user, but the script expects a message box saying "
       "\"hello\"\n"
       "step not played: a message box saying \"hello\"\n"
       "step not played: a click on 1\n"},
      {"a control that is not there",
       [](Script& s) { s.ExpectDialog("Pair").Click(99).Click(kIdOk); },
       openPair,
       {kIdCancel},
       "in dialog PAIR \"Pair\", a click on 99 failed: there is no control 99 in \"Pair\"\n"
       "step not played: a click on 1\n"},
      {"the wrong kind of control",
       [](Script& s) { s.ExpectDialog("Pair").Click(10); },
       openPair,
       {kIdCancel},
       "in dialog PAIR \"Pair\", a click on 10 failed: control 10 is not a push button\n"},
      {"no close box",
       [](Script& s) { s.ExpectDialog("Pair").CloseBox(); },
       openPair,
       {kIdCancel},
       "in dialog PAIR \"Pair\", the close box failed: \"Pair\" has no close box\n"},
      {"a file dialog of another title",
       [](Script& s) { s.CancelFile("Save"); },
       openFile,
       {kIdCancel},
       "an open file dialog \"Open\" opened, but the script expected a file dialog \"Save\" to "
       "cancel\n"
       "step not played: a file dialog \"Save\" to cancel\n"},
      {"a missing file where one must exist",
       [](Script& s) { s.ChooseFile("Open", "/no/such/file.bmp"); },
       openFile,
       {kIdCancel},
       "an open file dialog \"Open\" requires an existing file, but the script chose "
       "/no/such/file.bmp\n"},
      {"steps left over",
       [](Script& s) { s.Message("hello").Message("bye"); },
       message,
       {kIdOk},
       "step not played: a message box saying \"bye\"\n"},
  };
  const ResourceSet resources = OneDialog();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HeadlessPlatform platform;
    Application app(platform, resources, "quillon");
    std::vector<std::string> reported;
    platform.SetFailureHandler([&](const std::string& failure) { reported.push_back(failure); });
    Script script;
    c.script(script);
    platform.Play(script);
    Outcome run;
    c.program(app, run);
    EXPECT_EQ(run.results, c.results);
    EXPECT_LE(reported.size(), 1u) << "one failure, then the program unwinds quietly";
    EXPECT_EQ(platform.Finish(), c.report);
    EXPECT_EQ(platform.Finish(), "") << "Finish clears what it reported";
  }
}

TEST(ScriptTest, RecordsProgressAndProgramStarts) {
  const ResourceSet resources;
  HeadlessPlatform platform;
  platform.SetStartPrograms(false);
  Application app(platform, resources, "quillon");
  {
    auto progress = platform.OpenProgress(nullptr, "Working", "Splitting");
    progress->Update(0.25);
    progress->Update(1.0);
    EXPECT_FALSE(platform.Progress().back().closed);
  }
  ASSERT_EQ(platform.Progress().size(), 1u);
  EXPECT_EQ(platform.Progress()[0].fractions, (std::vector<double>{0.25, 1.0}));
  EXPECT_TRUE(platform.Progress()[0].closed);
  EXPECT_TRUE(platform.StartProgram("anything"));
  ASSERT_EQ(platform.Programs().size(), 1u);
  EXPECT_EQ(platform.Programs()[0].name, "anything");
  EXPECT_EQ(platform.Finish(), "") << "neither is a modal window the script must expect";
}

}  // namespace
}  // namespace quillon::ui
