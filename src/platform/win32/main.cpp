// Velmox.exe: Velmox on the Windows desktop.
#include "platform/win32/win_api.h"

#include <commctrl.h>

#include "app/application.h"
#include "core/platform_error.h"
#include "platform/win32/scoped_win.h"
#include "platform/win32/trace.h"
#include "platform/win32/win_desktop.h"

using namespace velmox;
using namespace velmox::win32;

namespace {

// The desktop's windows call into the application while it lives, and only then: the tray's
// callbacks are taken back and the dialog's window goes before the application does.
class Wiring {
 public:
  Wiring(WinDesktop& desktop, Application& app) : desktop_(desktop) {
    desktop.tray.SetCallback(
        [&app](int mouseMessage) { app.TrayCallback(static_cast<std::uint32_t>(mouseMessage)); });
    desktop.tray.SetCloseRequest([&app] {
      app.Close();
      // The request may come as a sent message, which GetMessage handles without returning.
      PostQuitMessage(0);
    });
  }
  ~Wiring() {
    desktop_.tray.SetCallback(nullptr);
    desktop_.tray.SetCloseRequest(nullptr);
    desktop_.settingsWindow.Destroy();
  }
  Wiring(const Wiring&) = delete;
  Wiring& operator=(const Wiring&) = delete;

 private:
  WinDesktop& desktop_;
};

void RunMessageLoop(Application& app, WinSettingsWindow& settingsWindow) {
  MSG message;
  // Velmox lives while one of its forms is loaded: the hidden main form or the dialog.
  while (!app.Ended() && GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (settingsWindow.PreTranslate(message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  try {
    OleSession ole;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);

    WinDesktop desktop;
    Desktop table = desktop.Table();
    WinSingleInstance instance;
    Application app(table);
    const Wiring wiring(desktop, app);
    Trace("Main in " + table.applicationFolder);
    app.Main(instance);
    RunMessageLoop(app, desktop.settingsWindow);
    // A WM_QUIT that any program may post ends the loop with Velmox still loaded.
    if (!app.Ended()) {
      Trace("The message loop has ended");
      app.Close();
    }
    Trace("Ended");
    return 0;
  } catch (const PlatformError& error) {
    Trace("Start failed: " + error.Description());
    return 1;
  }
}
