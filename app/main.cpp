// The desktop program: the main dialog on real windows. It reads no command line.
#include "app/share_app.h"
#include "ui/application.h"
#include "ui/wx/wx_platform.h"

int main(int argc, char** argv) {
  return quillon::ui::wx::RunWithToolkit(argc, argv, [&] {
    quillon::ui::wx::WxPlatform platform;
    quillon::CShareApp app(platform, quillon::ui::Application::NameFromPath(argv[0]));
    const int status = app.Run();
    platform.RunWhileFramesVisible(app);
    return status;
  });
}
