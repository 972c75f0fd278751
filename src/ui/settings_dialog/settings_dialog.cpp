#include "ui/settings_dialog/settings_dialog.h"

#include "core/failure.h"

namespace velmox {

SettingsDialog::SettingsDialog(AppState& state, DialogServices services,
                               SettingsDialogWindow& window)
    : state_(state), services_(std::move(services)), window_(window) {}

void SettingsDialog::Show() {
  if (IsLoaded()) {
    SkipOnFailure([&] { window_.BringToFront(); });
    return;
  }
  dialog_ = std::make_unique<frmOptions>(state_, services_, window_);
  SkipOnFailure([&] { window_.Create(*dialog_); });
  dialog_->Form_Load();
  SkipOnFailure([&] { window_.Show(); });
}

void SettingsDialog::Close() {
  if (IsLoaded()) dialog_->CloseWindow();
}

}  // namespace velmox
