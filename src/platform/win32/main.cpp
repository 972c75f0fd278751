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

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  try {
    OleSession ole;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);

    WinDesktop desktop;
    Desktop table = desktop.Table();
    WinSingleInstance instance;
    Application app(table);
    desktop.tray.SetCallback(
        [&app](int mouseMessage) { app.TrayCallback(static_cast<std::uint32_t>(mouseMessage)); });
    Trace("Main in " + table.applicationFolder);
    app.Main(instance);

    // Velmox lives while one of its forms is loaded: the hidden main form or the dialog.
    const auto running = [&app] { return !app.Ended(); };
    MSG message;
    while (running() && GetMessageA(&message, nullptr, 0, 0) > 0) {
      if (desktop.settingsWindow.PreTranslate(message)) continue;
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    Trace("Ended");
    return 0;
  } catch (const PlatformError& error) {
    Trace("Start failed: " + error.Description());
    return 1;
  }
}
