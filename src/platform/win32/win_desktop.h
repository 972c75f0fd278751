#pragma once

#include "app/desktop.h"
#include "platform/win32/registry_store.h"
#include "platform/win32/win_automation.h"
#include "platform/win32/win_file_dialogs.h"
#include "platform/win32/win_files.h"
#include "platform/win32/win_services.h"
#include "platform/win32/win_settings_window.h"
#include "platform/win32/win_timers.h"
#include "platform/win32/win_tray_shell.h"

namespace velmox::win32 {

// Every service of the Windows desktop, owned for the whole run, and the table the core reaches
// them through. Create it on the user-interface thread after OLE.
struct WinDesktop {
  RegistryStore settings;
  WinFiles files;
  WinTimers timers;
  WinTrayShell tray;
  WinSound sound;
  WinMessageBoxes messageBoxes;
  WinShellLauncher shell;
  WinKeyboard keyboard;
  WinClock clock;
  WinRandom random;
  WinProcess process;
  WinBrowserAutomation browsers;
  WinFileDialogs fileDialogs;
  WinSettingsWindow settingsWindow;

  Desktop Table() {
    return Desktop{settings,     files,    timers,      tray,           sound,
                   messageBoxes, shell,    keyboard,    clock,          random,
                   process,      browsers, fileDialogs, settingsWindow, ExecutableFolder()};
  }
};

}  // namespace velmox::win32
