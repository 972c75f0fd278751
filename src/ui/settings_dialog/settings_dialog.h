#pragma once

#include <memory>

#include "core/app_state.h"
#include "ui/settings_dialog/dialog_services.h"
#include "ui/settings_dialog/dialog_window.h"
#include "ui/settings_dialog/frm_options.h"

namespace velmox {

// The one Settings dialog of the run. The main controller owns it and calls Show from the tray
// menu and Close on shutdown.
class SettingsDialog {
 public:
  SettingsDialog(AppState& state, DialogServices services, SettingsDialogWindow& window);

  // Loads and shows the dialog; while it is loaded, only brings it to the front.
  void Show();
  // Closes the dialog as its close box does (nothing when it is not loaded).
  void Close();
  bool IsLoaded() const { return dialog_ != nullptr && dialog_->Loaded(); }
  // The loaded dialog, or null.
  frmOptions* Current() { return IsLoaded() ? dialog_.get() : nullptr; }

 private:
  AppState& state_;
  DialogServices services_;
  SettingsDialogWindow& window_;
  // Kept after its unload until the next Show: the unload runs inside the dialog's own handlers.
  std::unique_ptr<frmOptions> dialog_;
};

}  // namespace velmox
