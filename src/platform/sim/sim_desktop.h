#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/desktop.h"
#include "platform/sim/sim_browser.h"
#include "platform/sim/sim_clock.h"
#include "platform/sim/sim_dialogs.h"
#include "platform/sim/sim_files.h"
#include "platform/sim/sim_services.h"
#include "platform/sim/sim_settings_store.h"
#include "platform/sim/sim_trace.h"
#include "platform/sim/sim_tray.h"

namespace velmox::sim {

// Where a simulated desktop keeps its files.
struct SimFolders {
  std::filesystem::path appDir;   // the application folder's real place
  std::filesystem::path profile;  // the per-user settings store and the instance lock
  std::string virtualAppFolder = "C:\\Program Files\\Velmox";
};

// The whole simulated desktop: every service of the `Desktop` table, deterministic and driven
// by its virtual clock. Tests and the desktop script runner both run Velmox on it.
class SimDesktop {
 public:
  explicit SimDesktop(const SimFolders& folders);

  Desktop& Table() { return table_; }
  const SimFolders& Folders() const { return folders_; }

  SimClock clock;
  Trace trace;
  SimFiles files;
  SimSettingsStore settings;
  SimTray tray;
  SimSound sound;
  SimMessageBoxes messageBoxes;
  SimShell shell;
  SimKeyboard keyboard;
  OsRandom random;
  SimProcess process;
  SimBrowsers browsers;
  SimFileDialogs fileDialogs;
  SimDialogWindow settingsWindow;
  // Every setting saved and file written, in order: "Options\AutoLoad=True", "servers.lst"
  // (files of the application folder by their name in it).
  std::vector<std::string> writes;

 private:
  SimFolders folders_;
  Desktop table_;
};

}  // namespace velmox::sim
