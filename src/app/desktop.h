#pragma once

#include <string>

#include "core/browser_automation.h"
#include "core/desktop_services.h"
#include "core/file_dialog.h"
#include "core/files.h"
#include "core/settings_store.h"
#include "ui/settings_dialog/dialog_services.h"
#include "ui/settings_dialog/dialog_window.h"

namespace velmox {

// The small table through which the core reaches the desktop. The Windows desktop fills it with
// the real services, the simulated desktop with its own; a test builds one from the simulated
// services in a few lines.
struct Desktop {
  SettingsStore& settings;
  Files& files;
  Timers& timers;
  TrayShell& tray;
  Sound& sound;
  MessageBoxes& messageBoxes;
  ShellLauncher& shell;
  Keyboard& keyboard;
  Clock& clock;
  RandomSource& random;
  Process& process;
  BrowserAutomation& browsers;
  FileDialogs& fileDialogs;
  SettingsDialogWindow& settingsWindow;
  // The folder of the executable, without a trailing separator. Every file of Velmox is
  // addressed as this folder + "\" + name.
  std::string applicationFolder;
};

inline DialogServices DialogServicesOf(Desktop& desktop) {
  return {desktop.settings,         desktop.files, desktop.sound,
          desktop.messageBoxes,     desktop.shell, desktop.fileDialogs,
          desktop.applicationFolder};
}

}  // namespace velmox
