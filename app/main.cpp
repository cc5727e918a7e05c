// The desktop program: the main dialog on real windows. It reads no command line.
#include <cstdio>
#include <exception>
#include <new>

#include "app/share_app.h"
#include "ui/application.h"
#include "ui/wx/wx_platform.h"

int main(int argc, char** argv) {
  // The last resort: whatever escapes the program's own handling ends it with one line, never
  // with an abort and a core dump that would hold the secret.
  try {
    return quillon::ui::wx::RunWithToolkit(argc, argv, [&] {
      quillon::ui::wx::WxPlatform platform;
      quillon::CShareApp app(platform, quillon::ui::Application::NameFromPath(argv[0]));
      const int status = app.Run();
      platform.RunWhileFramesVisible(app);
      return status;
    });
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "quillon: out of memory\n");
  } catch (const std::exception& error) {
    std::fprintf(stderr, "quillon: %s\n", error.what());
  }
  return 1;
}
