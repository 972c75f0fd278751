// VelmoxStarter.exe: starts Velmox.exe from its own folder when a browser window appears while
// "Run Velmox whenever Internet Explorer runs" is ticked. The setup program starts it at logon
// (and once when it installs); "VelmoxStarter.exe /stop" ends the running one and waits for it,
// as the uninstaller does. It has no window and shows nothing at all: what it does and what
// failed goes to its trace (OutputDebugStringA, "Starter: ...").
#include "platform/win32/win_api.h"

#include <exception>
#include <string>

#include "core/platform_error.h"
#include "platform/win32/registry_store.h"
#include "platform/win32/scoped_win.h"
#include "platform/win32/starter/starter_instance.h"
#include "platform/win32/starter/thread_timers.h"
#include "platform/win32/starter/velmox_launcher.h"
#include "platform/win32/win_automation.h"
#include "platform/win32/win_error.h"
#include "platform/win32/win_services.h"
#include "starter/starter.h"

using namespace velmox;
using namespace velmox::win32;

namespace {

void StarterTrace(const std::string& line) {
  OutputDebugStringA(("Starter: " + line + "\n").c_str());
}

// The process that serves the shell's window collection, which owns the desktop's shell window.
// When it ends the collection is gone, and nothing else would say so. No handle when there is
// no shell window.
ScopedHandle OpenShellProcess() {
  const HWND shell = GetShellWindow();
  DWORD id = 0;
  if (!shell || !GetWindowThreadProcessId(shell, &id) || id == GetCurrentProcessId()) return {};
  return ScopedHandle(OpenProcess(SYNCHRONIZE, FALSE, id));
}

// Sleeps until a message (the collection's events, a retry's tick), the stop event or the
// shell's end wakes it; there is no timeout.
void RunUntilStopped(Starter& starter, ThreadTimers& timers, HANDLE stop) {
  ScopedHandle shell;
  for (;;) {
    if (!starter.Waiting()) {
      shell.Reset();
    } else if (!shell.Valid()) {
      shell = OpenShellProcess();
    }
    const HANDLE handles[] = {stop, shell.Get()};
    const DWORD count = shell.Valid() ? 2 : 1;
    const DWORD woken =
        MsgWaitForMultipleObjectsEx(count, handles, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (woken == WAIT_OBJECT_0) return;
    if (woken == WAIT_OBJECT_0 + 1 && count == 2) {
      shell.Reset();
      starter.CollectionLost("the shell has ended");
      continue;
    }
    if (woken == WAIT_FAILED) {
      StarterTrace("cannot wait (" + SystemMessage(static_cast<long>(GetLastError())) + ")");
      return;
    }
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) return;
      if (!message.hwnd && message.message == WM_TIMER) {
        timers.Fire(message.wParam);
        continue;
      }
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  // Nothing that runs at logon may ask the user anything, the system's error boxes included.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  if (lstrcmpiA(commandLine, "/stop") == 0) {
    StopRunningStarter();
    return 0;
  }
  try {
    const StarterInstance instance;
    if (!instance.Claimed()) {
      StarterTrace("another starter runs");
      return 0;
    }
    OleSession ole;
    const std::string folder = ExecutableFolder();
    RegistryStore settings;
    ThreadTimers timers;
    WinBrowserAutomation browsers;
    WinVelmoxLauncher launcher(folder);
    Starter starter({[&browsers] { return browsers.CreateShellWindows(); }, settings, timers,
                     launcher, StarterTrace});
    StarterTrace("starts in " + folder);
    starter.Begin();
    RunUntilStopped(starter, timers, instance.StopEvent());
    StarterTrace("ends");
    return 0;
  } catch (const PlatformError& error) {
    StarterTrace("cannot run (" + error.Description() + ")");
    return 1;
  } catch (const std::exception& error) {
    StarterTrace(std::string("cannot run (") + error.what() + ")");
    return 1;
  }
}
