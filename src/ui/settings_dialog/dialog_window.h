#pragma once

#include <cstdint>

namespace velmox {

class frmOptions;

// The desktop's window for the Settings dialog. The desktop draws the model's controls, feeds
// the user's input to the model's entry points and follows its change notifications
// (frm_options.h). Every call may throw PlatformError.
class SettingsDialogWindow {
 public:
  virtual ~SettingsDialogWindow() = default;
  // Creates the window, not yet shown, for `dialog`. The model outlives the window.
  virtual void Create(frmOptions& dialog) = 0;
  // The window's handle: owner of the shell calls and message boxes the dialog makes.
  virtual std::uintptr_t Handle() = 0;
  virtual void CenterOnScreen() = 0;
  // Shows the window without making it modal.
  virtual void Show() = 0;
  virtual void BringToFront() = 0;
  // The dialog has unloaded: the window goes away. The desktop must not call the model again.
  virtual void Destroy() = 0;
};

}  // namespace velmox
