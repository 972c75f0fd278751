#include "ui/settings_dialog/settings_dialog.h"

#include "core/failure.h"

namespace velmox {

SettingsDialog::SettingsDialog(AppState& state, DialogServices services,
                               SettingsDialogWindow& window, std::function<void()> endVelmox)
    : state_(state),
      services_(std::move(services)),
      window_(window),
      endVelmox_(std::move(endVelmox)) {}

void SettingsDialog::Show() {
  if (IsLoaded()) {
    SkipOnFailure([&] { window_.BringToFront(); });
    return;
  }
  dialog_ = std::make_unique<frmOptions>(state_, services_, window_);
  dialog_->onUnloaded = [this] { Unloaded(); };
  SkipOnFailure([&] { window_.Create(*dialog_); });
  dialog_->Form_Load();
  SkipOnFailure([&] { window_.Show(); });
}

void SettingsDialog::Close() {
  if (IsLoaded()) dialog_->CloseWindow();
}

void SettingsDialog::Unloaded() {
  if (state_.ExitPending && endVelmox_) SkipOnFailure([&] { endVelmox_(); });
}

}  // namespace velmox
