#include "app/main_form.h"

#include "core/failure.h"
#include "core/product.h"
#include "settings/load_options.h"
#include "sites/command_files.h"
#include "sites/site_file.h"

namespace velmox {
namespace {

constexpr int kMnuOptions = 0;
constexpr int kMnuTurn = 1;
constexpr int kMnuClose = 3;

// No exception may reach the desktop's event loop: a failing tray, menu or timer handler ends.
template <class Handler>
std::function<void()> Guarded(Handler handler) {
  return [handler] { SkipOnFailure(handler); };
}

}  // namespace

Velmox::Velmox(Desktop& desktop, AppState& state, MainFormHooks hooks)
    : desktop_(desktop),
      state_(state),
      hooks_(std::move(hooks)),
      Picture1_(desktop.tray, BulbPicture::On) {
  PopMenu_.caption = "Pop-Up Menu";
  PopMenu_.items = {"&Settings...", "", "-", ""};
  PopMenu_.defaultItem = kMnuTurn;
  Timer1_ = desktop_.timers.CreateTimer(kTimer1Interval, Guarded([this] { Timer1_Timer(); }));
  Timer2_ = desktop_.timers.CreateTimer(kTimer2Interval, Guarded([this] { Timer2_Timer(); }));
}

Velmox::~Velmox() = default;

std::string Velmox::FilePath(const char* name) const {
  return desktop_.applicationFolder + "\\" + name;
}

void Velmox::Form_Load() {
  state_.BlockingOn = true;
  TrayIcon_ = std::make_unique<CTray>(desktop_.tray);
  ConnectTrayEvents();
  PopMenu_.items[kMnuClose] = std::string("&Close ") + kProductName;
  // From here on a failing step is skipped and the next one runs.
  SkipOnFailure([&] {
    PageSink_ = std::make_unique<PageSinks>(state_, desktop_.clock, desktop_.browsers,
                                            [this] { DoAlert(); });
    routing_ = std::make_unique<WindowEventRouting>(
        state_, desktop_.files, desktop_.applicationFolder, desktop_.keyboard, *PageSink_);
    table_ = std::make_unique<BrowserTable>(
        state_, desktop_.browsers, desktop_.messageBoxes, desktop_.process, *routing_,
        BrowserTableHooks{hooks_.unloadSettingsDialog, hooks_.unloadMainForm});
  });
  SkipOnFailure(
      [&] { desktop_.files.Rename(FilePath("blocksite.script2"), FilePath("blocksite.script")); });
  SkipOnFailure(
      [&] { desktop_.files.Rename(FilePath("trustsite.script2"), FilePath("trustsite.script")); });
  SkipOnFailure([&] { SetUp(); });
  SkipOnFailure([&] { UpdateTipText(); });
  SkipOnFailure([&] { TrayIcon_->PicBox(Picture1_); });
  SkipOnFailure([&] { TrayIcon_->ShowIcon(); });
}

void Velmox::ConnectTrayEvents() {
  CTray::Events& e = TrayIcon_->events;
  e.LButtonDblClick = Guarded([this] { TrayIcon_LButtonDblClick(); });
  e.Lbuttondown = Guarded([this] { TrayIcon_Lbuttondown(); });
  e.RButtonDown = Guarded([this] { TrayIcon_RButtonDown(); });
  e.Rbuttonup = Guarded([this] { TrayIcon_Rbuttonup(); });
  e.LButtonUp = Guarded([this] { TrayIcon_Lbuttonup(); });
}

void Velmox::SetUp() {
  SkipOnFailure([&] {
    if (table_) table_->CreateSWs();
  });
  SkipOnFailure([&] {
    LoadOptions(desktop_.settings, desktop_.random, desktop_.applicationFolder, state_.OptionValues,
                state_.URLPrefix);
  });
  SkipOnFailure([&] {
    SetUpBlockedHosts(desktop_.files, desktop_.applicationFolder, state_.Sites, state_.SitesFile);
  });
  SkipOnFailure([&] {
    if (table_) table_->FindIEWindows();
  });
  SkipOnFailure([&] { CreateHTML(desktop_.files, desktop_.applicationFolder, state_.URLPrefix); });
  SkipOnFailure([&] { Timer1_->SetEnabled(state_.OptionValues.AddressBar); });
  SkipOnFailure([&] { UpdateMenus(); });
  SkipOnFailure([&] { UpdateTipText(); });
}

void Velmox::Form_Unload() {
  unloaded_ = true;
  SkipOnFailure(
      [&] { desktop_.files.Rename(FilePath("blocksite.script"), FilePath("blocksite.script2")); });
  SkipOnFailure(
      [&] { desktop_.files.Rename(FilePath("trustsite.script"), FilePath("trustsite.script2")); });
  SkipOnFailure([&] {
    if (TrayIcon_) TrayIcon_->DeleteIcon();
  });
  // The form's objects stop with it: no tick reaches an unloaded form.
  SkipOnFailure([&] { Timer1_->SetEnabled(false); });
  SkipOnFailure([&] { Timer2_->SetEnabled(false); });
  // No window is followed, adjusted or caught once the icon has gone.
  if (table_) table_->Release();
  if (PageSink_) PageSink_->Release();
}

void Velmox::OnOff() {
  if (state_.BlockingOn) {
    state_.BlockingOn = false;
    Timer2_->SetEnabled(false);  // an alert picture that shows is not restored later
    Picture1_.SetPicture(BulbPicture::Off);
  } else {
    state_.BlockingOn = true;
    Picture1_.SetPicture(BulbPicture::On);
  }
  UpdateTipText();
  UpdateMenus();
}

void Velmox::UpdateTipText() {
  TrayIcon_->TipText(std::string(kProductName) + (state_.BlockingOn ? " (On)" : " (Off)"));
}

void Velmox::UpdateMenus() {
  PopMenu_.items[kMnuTurn] =
      std::string("&Turn ") + kProductName + (state_.BlockingOn ? " Off" : " On");
}

void Velmox::TrayIcon_LButtonDblClick() {
  OnOff();
}
void Velmox::TrayIcon_Lbuttondown() {
  RightPressed_ = false;
}
void Velmox::TrayIcon_Lbuttonup() {
  RightPressed_ = false;
}
void Velmox::TrayIcon_RButtonDown() {
  RightPressed_ = true;
}

void Velmox::TrayIcon_Rbuttonup() {
  if (!RightPressed_) return;
  desktop_.tray.SetForegroundWindow(Picture1_.WindowHandle());
  RightPressed_ = false;
  const int choice = desktop_.tray.TrackPopupMenu(PopMenu_);
  // Auto-close may have unloaded the form while the menu was open: an ended Velmox stays ended.
  if (unloaded_) return;
  switch (choice) {
    case kMnuOptions:
      MnuOptions_Click();
      break;
    case kMnuTurn:
      MnuTurn_Click();
      break;
    case kMnuClose:
      MnuClose_Click();
      break;
    default:
      break;
  }
}

void Velmox::MnuOptions_Click() {
  if (hooks_.showSettingsDialog) hooks_.showSettingsDialog();
}

void Velmox::MnuTurn_Click() {
  OnOff();
}

void Velmox::MnuClose_Click() {
  if (hooks_.unloadSettingsDialog) hooks_.unloadSettingsDialog();
  if (hooks_.unloadMainForm) hooks_.unloadMainForm();
}

void Velmox::Timer1_Timer() {
  if (table_) table_->Timer1_Timer();
}

void Velmox::DoAlert() {
  if (unloaded_) return;
  ++alertCount_;
  const OptionRecord& o = state_.OptionValues;
  if (o.BlinkLightBulb) {
    SkipOnFailure([&] { Picture1_.SetPicture(BulbPicture::Alert); });
    SkipOnFailure([&] { Timer2_->SetEnabled(true); });
  }
  if (o.PlayASound) {
    SkipOnFailure([&] { desktop_.sound.sndPlaySoundA("", Sound::kAsync); });
    SkipOnFailure(
        [&] { desktop_.sound.sndPlaySoundA(o.SoundFileName, Sound::kAsync | Sound::kNoDefault); });
  }
}

void Velmox::Timer2_Timer() {
  Timer2_->SetEnabled(false);
  // The picture that ends the alert follows the switch, so that an alert raised while Velmox is
  // off never leaves the on picture behind.
  Picture1_.SetPicture(state_.BlockingOn ? BulbPicture::On : BulbPicture::Off);
}

}  // namespace velmox
