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
      browsers(trace, files),
      fileDialogs(trace),
      settingsWindow(trace),
      folders_(folders),
      table_{settings,     files,    clock,       tray,           sound,
             messageBoxes, shell,    keyboard,    clock,          random,
             process,      browsers, fileDialogs, settingsWindow, folders.virtualAppFolder} {
  // What the Settings dialog stores is one of its effects, so it shows while the dialog is there.
  settings.onSaved = [this](const std::string& section, const std::string& key,
                            const std::string& value) {
    writes.push_back(section + "\\" + key + "=" + value);
    if (settingsWindow.Dialog() != nullptr)
      trace.Line("store", section + "\\" + key + " = " + Quoted(value));
  };
  // Velmox goes on without what it could not store (a new command token at every start, for
  // one): the trace says why.
  settings.onSaveFailed = [this](const std::string& section, const std::string& key,
                                 const std::string& reason) {
    trace.Line("store", "cannot store " + section + "\\" + key + ": " + reason);
  };
  // A modal window owned by the Settings dialog disables it; Velmox's other windows are hidden.
  const auto enableWindow = [this](std::uintptr_t owner, bool enabled) {
    if (owner == SimDialogWindow::kHandle) settingsWindow.EnableWindow(enabled);
  };
  messageBoxes.enableOwner = enableWindow;
  fileDialogs.enableOwner = enableWindow;
  // A list Velmox kept before replacing it is the user's business, dialog or not.
  files.onReport = [this](const std::string& message) { trace.Line("file", message); };
  files.onWritten = [this](const std::string& path) {
    const std::string prefix = folders_.virtualAppFolder + "\\";
    writes.push_back(path.starts_with(prefix) ? path.substr(prefix.size()) : path);
    if (settingsWindow.Dialog() != nullptr) trace.Line("file", "writes " + Quoted(writes.back()));
  };
}

}  // namespace velmox::sim
