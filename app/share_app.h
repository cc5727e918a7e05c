// CShareApp: the desktop program's application object. Start-up makes the main dialog and
// the frame, hides the frame for good, and runs the dialog; the program ends when the dialog
// closes. The frame and the dialog live as long as the application object; the frame reads
// and writes files through the Env handed in, which must outlive it. Not thread-safe.
#pragma once

#include <memory>
#include <string>

#include "app/princip.h"
#include "app/share_frame.h"
#include "core/env.h"
#include "ui/application.h"

namespace quillon {

class CShareApp : public ui::Application {
 public:
  // name: the executable's file name without extension, the caption of plain messages.
  CShareApp(ui::Platform& platform, std::string name, Env& env = Env::Default());
  ~CShareApp() override;

  bool InitInstance() override;

  // Null before start-up.
  CShareFrame* Frame() const { return m_frame.get(); }
  CPrincipDlg* MainDialog() const { return m_dialog.get(); }

 private:
  std::unique_ptr<CPrincipDlg> m_dialog;
  std::unique_ptr<CShareFrame> m_frame;
  Env& m_env;
};

}  // namespace quillon
