#include "app/share_app.h"

#include "app/resources/resources.h"

namespace quillon {

CShareApp::CShareApp(ui::Platform& platform, std::string name, Env& env)
    : Application(platform, res::QuillonResources(), std::move(name)), m_env(env) {}

// The windows go before the application they registered with.
CShareApp::~CShareApp() {
  m_dialog.reset();
  m_frame.reset();
}

bool CShareApp::InitInstance() {
  m_dialog = std::make_unique<CPrincipDlg>(*this);
  m_frame = std::make_unique<CShareFrame>(*this, m_env);
  m_frame->ShowWindow(false);
  m_frame->UpdateWindow();
  m_dialog->m_pFrame = m_frame.get();
  m_dialog->DoModal();
  return true;
}

}  // namespace quillon
