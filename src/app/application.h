#pragma once

#include <cstdint>
#include <memory>

#include "app/desktop.h"
#include "app/main_form.h"
#include "core/app_state.h"
#include "ui/settings_dialog/settings_dialog.h"

namespace velmox {

// One run of Velmox on a desktop: the process-wide state and the forms. Velmox ends when no
// form is left loaded, or at once when told to end without unloading.
class Application {
 public:
  explicit Application(Desktop& desktop);
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // The entry point: a second instance ends at once and silently; otherwise the hidden main form
  // is loaded.
  void Main(SingleInstance& instance);

  bool Ended() const;
  AppState& State() { return state_; }
  // The hidden main form while it is loaded; null before Main and after its unload.
  Velmox* MainForm() { return mainLoaded_ ? mainForm_.get() : nullptr; }
  SettingsDialog& Settings() { return settingsDialog_; }

  // The tray callback as the hidden window receives it (the mouse message from lParam).
  void TrayCallback(std::uint32_t mouseMessage);

  void ShowSettingsDialog();
  void UnloadSettingsDialog();
  void UnloadMainForm();
  // The system or another program closes Velmox (the session ends, Restart Manager, a request
  // to close its window), as "&Close Velmox" does: the Settings dialog closes as by the system,
  // restoring what it changed, then the main form unloads. Also when auto-close has unloaded the
  // main form already and only the dialog is left.
  void Close();

 private:
  Desktop& desktop_;
  AppState state_;
  std::unique_ptr<Velmox> mainForm_;
  SettingsDialog settingsDialog_;
  bool started_ = false;
  bool mainLoaded_ = false;
  bool endedAtOnce_ = false;
};

}  // namespace velmox
