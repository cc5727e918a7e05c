#include "ui/headless/headless_platform.h"

#include <filesystem>
#include <optional>

#include "ui/application.h"
#include "ui/dialog.h"
#include "ui/file_dialog.h"
#include "ui/process.h"
#include "ui/user_input.h"

namespace quillon::ui::headless {

struct Script::Step {
  using Kind = StepKind;
  static constexpr Kind kOpenDialog = Kind::kOpenDialog, kFile = Kind::kFile,
                        kMessage = Kind::kMessage, kType = Kind::kType, kClick = Kind::kClick,
                        kChoose = Kind::kChoose, kClickEntry = Kind::kClickEntry,
                        kEnter = Kind::kEnter, kEscape = Kind::kEscape, kCloseBox = Kind::kCloseBox,
                        kInspect = Kind::kInspect;
  Kind kind = kInspect;
  ResourceName name = 0;
  std::string title;
  std::string path;  // empty: cancel
  std::optional<std::string> caption;
  std::string text;
  int id = 0;
  int index = 0;
  std::function<void(Dialog&)> check;

  bool Opens() const { return kind == kOpenDialog || kind == kFile || kind == kMessage; }
  std::string Describe() const;
};

namespace {

std::string Quote(const std::string& text) {
  return "\"" + text + "\"";
}

// The template's own name, as the resources spell it.
std::string TemplateNameOf(const Dialog& dialog) {
  return (dialog.Template() ? dialog.Template()->name : dialog.TemplateName()).ToString();
}

std::string DescribeDialog(const Dialog& dialog) {
  return "dialog " + TemplateNameOf(dialog) + " " + Quote(dialog.GetWindowText());
}

class HeadlessProgress : public ProgressDialog {
 public:
  explicit HeadlessProgress(ProgressRecord& record) : m_record(record) {}
  ~HeadlessProgress() override { m_record.closed = true; }
  void Update(double fraction) override { m_record.fractions.push_back(fraction); }

 private:
  ProgressRecord& m_record;
};

}  // namespace

std::string Script::Step::Describe() const {
  switch (kind) {
    case kOpenDialog:
      return "dialog " + name.ToString() + " to open";
    case kFile:
      return "a file dialog " + Quote(title) + (path.empty() ? " to cancel" : " choosing " + path);
    case kMessage:
      return "a message box " + (caption ? Quote(*caption) + " " : std::string()) + "saying " +
             Quote(text);
    case kType:
      return "typing " + Quote(text) + " into " + std::to_string(id);
    case kClick:
      return "a click on " + std::to_string(id);
    case kChoose:
      return "choosing entry " + std::to_string(index) + " of " + std::to_string(id);
    case kClickEntry:
      return "a click on entry " + std::to_string(index) + " of " + std::to_string(id);
    case kEnter:
      return "the Enter key";
    case kEscape:
      return "the Escape key";
    case kCloseBox:
      return "the close box";
    case kInspect:
      return "a look at the dialog";
  }
  return "?";
}

size_t Script::Size() const {
  return m_steps.size();
}

Script& Script::Add(Step::Kind kind, std::function<void(Step&)> fill) {
  auto step = std::make_shared<Step>();
  step->kind = kind;
  if (fill)
    fill(*step);
  m_steps.push_back(std::move(step));
  return *this;
}

Script& Script::ExpectDialog(ResourceName name) {
  return Add(Step::kOpenDialog, [&](Step& s) { s.name = std::move(name); });
}

Script& Script::ChooseFile(std::string title, std::string path) {
  return Add(Step::kFile, [&](Step& s) {
    s.title = std::move(title);
    s.path = std::move(path);
  });
}

Script& Script::CancelFile(std::string title) {
  return Add(Step::kFile, [&](Step& s) { s.title = std::move(title); });
}

Script& Script::Message(std::string text) {
  return Add(Step::kMessage, [&](Step& s) { s.text = std::move(text); });
}

Script& Script::Message(std::string caption, std::string text) {
  return Add(Step::kMessage, [&](Step& s) {
    s.caption = std::move(caption);
    s.text = std::move(text);
  });
}

Script& Script::Type(int id, std::string text) {
  return Add(Step::kType, [&](Step& s) {
    s.id = id;
    s.text = std::move(text);
  });
}

Script& Script::Click(int id) {
  return Add(Step::kClick, [&](Step& s) { s.id = id; });
}

Script& Script::Choose(int id, int index) {
  return Add(Step::kChoose, [&](Step& s) {
    s.id = id;
    s.index = index;
  });
}

Script& Script::ClickEntries(int id, std::vector<int> indices) {
  for (int index : indices) {
    Add(Step::kClickEntry, [&](Step& s) {
      s.id = id;
      s.index = index;
    });
  }
  return *this;
}

Script& Script::Enter() {
  return Add(Step::kEnter, nullptr);
}

Script& Script::Escape() {
  return Add(Step::kEscape, nullptr);
}

Script& Script::CloseBox() {
  return Add(Step::kCloseBox, nullptr);
}

Script& Script::Inspect(std::function<void(Dialog&)> check) {
  return Add(Step::kInspect, [&](Step& s) { s.check = std::move(check); });
}

HeadlessPlatform::HeadlessPlatform() = default;
HeadlessPlatform::~HeadlessPlatform() = default;

void HeadlessPlatform::Play(const Script& script) {
  m_steps.insert(m_steps.end(), script.m_steps.begin(), script.m_steps.end());
}

std::string HeadlessPlatform::Finish() {
  std::string report;
  for (const std::string& failure : m_failures)
    report += failure + "\n";
  for (const auto& step : m_steps)
    report += "step not played: " + step->Describe() + "\n";
  m_failures.clear();
  m_steps.clear();
  m_broken = false;
  return report;
}

void HeadlessPlatform::Fail(const std::string& failure) {
  Note("FAILURE: " + failure);
  m_failures.push_back(failure);
  m_broken = true;
  if (m_onFailure)
    m_onFailure(failure);
}

std::shared_ptr<Script::Step> HeadlessPlatform::TakeOpening(
    Script::StepKind kind, const std::string& window,
    const std::function<bool(const Script::Step&)>& fits) {
  if (m_broken) {
    Note("cancelled after a failure: " + window);
    return nullptr;
  }
  if (m_steps.empty()) {
    Fail(window + " opened, but the script has no steps left");
    return nullptr;
  }
  const std::shared_ptr<Script::Step> step = m_steps.front();
  if (step->kind != kind || !fits(*step)) {
    Fail(window + " opened, but the script expected " + step->Describe());
    return nullptr;
  }
  m_steps.pop_front();
  return step;
}

int HeadlessPlatform::RunModal(Dialog& dialog) {
  const std::string window = DescribeDialog(dialog);
  Note(window + " opens");
  DialogRecord record{TemplateNameOf(dialog), dialog.GetWindowText(), dialog.Owner(), 0};
  const auto expected = TakeOpening(Script::Step::kOpenDialog, window, [&](const auto& step) {
    return step.name.Matches(dialog.TemplateName());
  });
  if (!expected)
    dialog.EndDialog(kIdCancel);
  while (!dialog.IsEnded()) {
    dialog.App().UpdateWindows();
    if (m_broken) {
      dialog.EndDialog(kIdCancel);
      break;
    }
    if (m_steps.empty() || m_steps.front()->Opens()) {
      Fail(window + " waits for the user, but the script " +
           (m_steps.empty() ? std::string("has no steps left")
                            : "expects " + m_steps.front()->Describe()));
      continue;
    }
    const std::shared_ptr<Script::Step> step = m_steps.front();
    m_steps.pop_front();
    Note("  " + step->Describe());
    std::string problem;
    switch (step->kind) {
      case Script::Step::kType:
        problem = UserType(dialog, step->id, step->text);
        break;
      case Script::Step::kClick:
        problem = UserClick(dialog, step->id);
        break;
      case Script::Step::kChoose:
        problem = UserChoose(dialog, step->id, step->index);
        break;
      case Script::Step::kClickEntry:
        problem = UserClickEntry(dialog, step->id, step->index);
        break;
      case Script::Step::kEnter:
        problem = UserEnter(dialog);
        break;
      case Script::Step::kEscape:
        problem = UserEscape(dialog);
        break;
      case Script::Step::kCloseBox:
        problem = UserCloseBox(dialog);
        break;
      case Script::Step::kInspect:
        step->check(dialog);
        break;
      default:
        break;
    }
    if (!problem.empty())
      Fail("in " + window + ", " + step->Describe() + " failed: " + problem);
  }
  record.result = dialog.Result();
  m_dialogs.push_back(record);
  Note(window + " ends with " + std::to_string(dialog.Result()));
  return dialog.Result();
}

int HeadlessPlatform::RunFileDialog(FileDialog& dialog) {
  const std::string window = std::string(dialog.IsOpenDialog() ? "an open" : "a save") +
                             " file dialog " + Quote(dialog.Title());
  Note(window + " opens");
  FileDialogRecord record{dialog.IsOpenDialog(), dialog.Title(),      dialog.Flags(),
                          dialog.Filter(),       dialog.DefaultExt(), dialog.InitialFileName(),
                          dialog.Owner(),        std::string()};
  const auto step = TakeOpening(Script::Step::kFile, window,
                                [&](const auto& s) { return s.title == dialog.Title(); });
  int result = kIdCancel;
  if (step && !step->path.empty()) {
    if (dialog.HasFlag(kFileMustExist) && !std::filesystem::exists(step->path)) {
      Fail(window + " requires an existing file, but the script chose " + step->path);
    } else {
      dialog.Accept(step->path);
      record.chosenPath = dialog.GetPathName();
      result = kIdOk;
    }
  }
  m_fileDialogs.push_back(record);
  Note(window + (result == kIdOk ? " chose " + record.chosenPath : std::string(" cancelled")));
  return result;
}

int HeadlessPlatform::ShowMessageBox(const MessageBoxRequest& request) {
  const std::string window =
      "a message box " + Quote(request.caption) + " saying " + Quote(request.text);
  Note(window);
  m_messages.push_back(MessageRecord{request.owner,
                                     request.owner ? request.owner->GetWindowText() : std::string(),
                                     request.caption, request.text, request.icon});
  TakeOpening(Script::Step::kMessage, window, [&](const auto& step) {
    return step.text == request.text && (!step.caption || *step.caption == request.caption);
  });
  return kIdOk;
}

std::unique_ptr<ProgressDialog> HeadlessPlatform::OpenProgress(const Window* owner,
                                                               const std::string& caption,
                                                               const std::string& text) {
  Note("progress " + Quote(caption) + " " + Quote(text));
  m_progress.push_back(ProgressRecord{owner, caption, text, {}, false});
  return std::make_unique<HeadlessProgress>(m_progress.back());
}

bool HeadlessPlatform::StartProgram(const std::string& name) {
  const bool started = m_startPrograms ? StartDetached(name) : true;
  Note("start " + name + (started ? "" : " (not started)"));
  m_programs.push_back(ProgramRecord{name, started});
  return started;
}

Size HeadlessPlatform::DialogBaseUnits(const DialogTemplate& dialog) const {
  if (dialog.fontName.empty() || dialog.fontPoints <= 0)
    return Size{8, 16};
  return Size{(6 * dialog.fontPoints + 4) / 8, (13 * dialog.fontPoints + 4) / 8};
}

}  // namespace quillon::ui::headless
