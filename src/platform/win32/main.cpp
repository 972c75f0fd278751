// Velmox.exe: the core on the Windows desktop.
#include "platform/win32/win_api.h"

#include <commctrl.h>

#include "platform/platform_error.h"
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

    WinSingleInstance instance;
    if (instance.AnotherInstanceRunning()) return 0;
    WinDesktop desktop;
    Desktop table = desktop.Table();
    Trace("Started in " + table.applicationFolder);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    return 0;
  } catch (const PlatformError& error) {
    Trace("Start failed: " + error.Description());
    return 1;
  }
}
