#pragma once

#include <string>

#include "core/desktop_services.h"
#include "core/file_dialog.h"
#include "core/files.h"
#include "core/settings_store.h"

namespace velmox {

// The desktop services the Settings dialog uses, taken from the desktop's table.
struct DialogServices {
  SettingsStore& settings;
  Files& files;
  Sound& sound;
  MessageBoxes& messageBoxes;
  ShellLauncher& shell;
  FileDialogs& fileDialogs;
  std::string applicationFolder;  // without a trailing separator
};

}  // namespace velmox
