#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/file_dialog.h"
#include "platform/sim/sim_dialog_trace.h"
#include "platform/sim/sim_services.h"
#include "platform/sim/sim_trace.h"
#include "ui/settings_dialog/dialog_window.h"

namespace velmox::sim {

// The Settings dialog's window on the simulated desktop: the model is the dialog; the window
// tells when it appears, comes to the front and goes, and traces what changes on it after it
// has appeared.
class SimDialogWindow : public SettingsDialogWindow {
 public:
  static constexpr std::uintptr_t kHandle = 0x6000;

  explicit SimDialogWindow(Trace& trace);
  ~SimDialogWindow() override;

  frmOptions* Dialog() { return dialog_; }
  bool Shown() const { return shown_; }
  int timesCentred = 0;
  int timesBroughtToFront = 0;
  // The control that has the focus ("FileNameText", "ListView1", "tbsOptions" ...); empty for
  // none. Whoever drives the window moves it.
  std::string focus;
  // A modal window it owns (a message box, the file dialog) disables it until that closes, as
  // on Windows: a disabled window takes no input.
  bool Enabled() const { return disabledBy_ == 0; }
  void EnableWindow(bool enabled) { disabledBy_ += enabled ? -1 : 1; }

  void Create(frmOptions& dialog) override;
  std::uintptr_t Handle() override { return kHandle; }
  void CenterOnScreen() override { ++timesCentred; }
  void Show() override;
  void BringToFront() override;
  void Destroy() override;

 private:
  Trace& trace_;
  frmOptions* dialog_ = nullptr;
  std::unique_ptr<DialogTracer> tracer_;
  bool shown_ = false;
  int disabledBy_ = 0;
};

// The file-open dialog, answered by whoever drives the desktop (the script runner).
class SimFileDialogs : public FileDialogs {
 public:
  explicit SimFileDialogs(Trace& trace) : trace_(trace) {}
  // The choice for a shown dialog; without it the dialog is cancelled.
  std::function<std::optional<FileOpenChoice>(const FileOpenRequest&)> answer;
  std::vector<FileOpenRequest> shown;
  // The request of the innermost dialog open.
  std::optional<FileOpenRequest> open;
  // The desktop's EnableWindow: the dialog is modal, so its owner is disabled while it is open.
  std::function<void(std::uintptr_t owner, bool enabled)> enableOwner;

  std::optional<FileOpenChoice> ShowOpen(const FileOpenRequest& request) override;

 private:
  Trace& trace_;
};

}  // namespace velmox::sim
