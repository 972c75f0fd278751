#include "app/application.h"

#include "core/failure.h"

namespace velmox {

Application::Application(Desktop& desktop)
    : desktop_(desktop),
      settingsDialog_(state_, DialogServicesOf(desktop), desktop.settingsWindow) {}

Application::~Application() = default;

void Application::Main(SingleInstance& instance) {
  if (started_) return;
  started_ = true;
  if (TrapOr(true, [&] { return instance.AnotherInstanceRunning(); })) {
    endedAtOnce_ = true;
    return;
  }
  state_.ErrorTime = 0;
  MainFormHooks hooks;
  hooks.showSettingsDialog = [this] { ShowSettingsDialog(); };
  hooks.unloadSettingsDialog = [this] { UnloadSettingsDialog(); };
  hooks.unloadMainForm = [this] { UnloadMainForm(); };
  mainForm_ = std::make_unique<Velmox>(desktop_, state_, std::move(hooks));
  mainLoaded_ = true;
  mainForm_->Form_Load();
}

bool Application::Ended() const {
  // The dialog outlives a main form that auto-close unloaded; Velmox ends with the last form.
  return started_ && (endedAtOnce_ || (!mainLoaded_ && !settingsDialog_.IsLoaded()));
}

void Application::TrayCallback(std::uint32_t mouseMessage) {
  if (Velmox* form = MainForm())
    SkipOnFailure([&] { form->TrayIcon().CallbackMessage(mouseMessage); });
}

void Application::ShowSettingsDialog() {
  settingsDialog_.Show();
}

void Application::UnloadSettingsDialog() {
  settingsDialog_.Close();
}

void Application::Close() {
  if (!started_) return;
  // A dialog that fails to unload must not keep the main form loaded.
  SkipOnFailure([&] { UnloadSettingsDialog(); });
  UnloadMainForm();
}

void Application::UnloadMainForm() {
  if (!mainLoaded_) return;
  mainLoaded_ = false;
  SkipOnFailure([&] { mainForm_->Form_Unload(); });
}

}  // namespace velmox
