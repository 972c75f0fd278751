#pragma once

#include <string>

#include "app/desktop.h"
#include "platform/file_dialog.h"

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

inline DialogServices DialogServicesOf(Desktop& desktop) {
  return {desktop.settings,         desktop.files, desktop.sound,
          desktop.messageBoxes,     desktop.shell, desktop.fileDialogs,
          desktop.applicationFolder};
}

}  // namespace velmox
