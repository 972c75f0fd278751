#include "platform/sim/sim_desktop.h"

namespace velmox::sim {

SimDesktop::SimDesktop(const SimFolders& folders)
    : trace([this] { return clock.NowMs(); }),
      files(folders.virtualAppFolder, folders.appDir),
      settings(folders.profile / "settings.txt"),
      tray(trace),
      sound(trace, files),
      messageBoxes(trace),
      shell(trace),
      process(trace),
      browsers(trace),
      fileDialogs(trace),
      settingsWindow(trace),
      folders_(folders),
      table_{settings,     files,    clock,       tray,           sound,
             messageBoxes, shell,    keyboard,    clock,          random,
             process,      browsers, fileDialogs, settingsWindow, folders.virtualAppFolder} {}

}  // namespace velmox::sim
