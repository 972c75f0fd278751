#include <array>

#include "core/failure.h"
#include "settings/boolean_text.h"
#include "settings/option_schema.h"
#include "ui/settings_dialog/about_page.h"
#include "ui/settings_dialog/frm_options.h"

// Loading the dialog, its pages, keys, help and links, and the change tracking for Apply.
namespace velmox {
namespace {

// The help page of each page, by page index.
constexpr std::array<const char*, 5> kHelpPages = {
    "\\help\\options.htm",   "\\help\\advancedoptions.htm",
    "\\help\\ieoptions.htm", "\\help\\websitelist.htm",
    "\\help\\help.htm",
};

int Ticked(bool value) {
  return value ? kChecked : kUnchecked;
}

}  // namespace

void frmOptions::Form_Load() {
  loaded_ = true;
  SkipOnFailure([&] {
    controls.SoundDialog.flags = FileDialogs::kFileMustExist | FileDialogs::kHideReadOnly;
    controls.SoundDialog.initialFolder = services_.applicationFolder + "\\sounds";
  });
  state_.DialogOpen = true;
  SkipOnFailure([&] {
    Caption = std::string(about::kProductName) + " Settings";
    Notify("frmOptions");
  });
  SkipOnFailure([&] { window_.CenterOnScreen(); });
  SkipOnFailure([&] {
    SavedOptions.options = state_.OptionValues;
    SavedSites = state_.Sites.Entries();
    WorkingSites = state_.Sites.Entries();
  });
  SkipOnFailure([&] {
    const std::string text =
        ReadSetting(services_.settings, kAutoLoadSetting, kAutoLoadSetting.defaultText);
    if (auto value = ParseBoolean(text)) SavedOptions.AutoLoad = *value;
  });
  SkipOnFailure([&] { tbsOptions_MouseDown(kLeftButton, 0, 0, 0); });
  SkipOnFailure([&] { RefreshListView(); });
  SkipOnFailure([&] { RefreshControls(); });
  // Last: refreshing the controls clicked them, and every click enables Apply.
  SkipOnFailure([&] { SetEnabled(controls.cmdApply, false); });
}

// ---- Pages and keys ------------------------------------------------------------------------

void frmOptions::ShowSelectedPage() {
  const int selected = controls.tbsOptions.selected;
  for (int i = 0; i < static_cast<int>(controls.picOptions.size()); ++i) {
    Control& page = controls.picOptions[static_cast<std::size_t>(i)];
    const bool shown = i == selected - 1;
    page.left = shown ? kPageShownLeft : kPageHiddenLeft;
    page.enabled = shown;
    if (shown) CurrentPage = static_cast<std::int16_t>(i);
    Notify(page.name);
  }
}

void frmOptions::tbsOptions_Click() {
  ShowSelectedPage();
}

void frmOptions::tbsOptions_MouseDown(int button, int, float, float) {
  if (button != kLeftButton) return;
  ShowSelectedPage();
}

void frmOptions::tbsOptions_MouseUp(int button, int, float, float) {
  if (button != kLeftButton) return;
  ShowSelectedPage();
}

bool frmOptions::Form_KeyDown(int keyCode, int shift, std::string_view focused) {
  if (!loaded_) return false;
  if (keyCode == kKeyEnter && (shift & kShiftAlt) == 0) {
    const Control* button = controls.Find(focused);
    if (button == nullptr || button->kind != ControlKind::Button) {
      LeaveText(focused);
      button = &controls.cmdOK;
    }
    Click(button->name);
    return true;
  }
  if (keyCode == kKeyF1) {
    if (CurrentPage >= 0 && CurrentPage < static_cast<int>(kHelpPages.size()))
      OpenWithShell(services_.applicationFolder +
                    kHelpPages[static_cast<std::size_t>(CurrentPage)]);
    return true;
  }
  if (keyCode != kKeyTab || shift != kShiftCtrl) return false;
  const int count = static_cast<int>(controls.tbsOptions.tabs.size());
  const int selected = controls.tbsOptions.selected;
  SelectTab(selected >= count ? 1 : selected + 1);
  return true;
}

// ---- Controls from the options -------------------------------------------------------------

void frmOptions::RefreshControls() {
  const OptionRecord& o = state_.OptionValues;
  SetValue(controls.XRun, Ticked(SavedOptions.AutoLoad));
  SetValue(controls.XClose, Ticked(o.AutoClose));
  SetValue(controls.XBlink, Ticked(o.BlinkLightBulb));
  SetValue(controls.XPlaySound, Ticked(o.PlayASound));
  SetText(controls.FileNameText, o.SoundFileName);
  SetValue(controls.XIgnoreLocal, Ticked(o.IgnoreLocal));
  SetValue(o.LinkTarget == "_top" ? controls.XTargetTop : controls.XTargetBlank, kChecked);
  SetValue(o.BlockByDefault ? controls.XBlockByDefault1 : controls.XBlockByDefault2, kChecked);
  SetValue(controls.XTheaterMode, Ticked(o.TheaterMode));
  SetValue(controls.XFullScreen, Ticked(o.FullScreen));
  SetValue(controls.XStatusBar, Ticked(o.StatusBar));
  SetValue(controls.XMenuBar, Ticked(o.MenuBar));
  SetValue(controls.XToolBar, Ticked(o.ToolBar));
  ApplySoundRule();
}

void frmOptions::EnableApply() {
  SetEnabled(controls.cmdApply, true);
}

void frmOptions::XRun_Click() {
  EnableApply();
}
void frmOptions::XClose_Click() {
  EnableApply();
}
void frmOptions::XBlink_Click() {
  EnableApply();
}
void frmOptions::XIgnoreLocal_Click() {
  EnableApply();
}
void frmOptions::XTargetTop_Click() {
  EnableApply();
}
void frmOptions::XTargetBlank_Click() {
  EnableApply();
}
void frmOptions::XBlockByDefault1_Click() {
  EnableApply();
}
void frmOptions::XBlockByDefault2_Click() {
  EnableApply();
}
void frmOptions::XTheaterMode_Click() {
  EnableApply();
}
void frmOptions::XFullScreen_Click() {
  EnableApply();
}
void frmOptions::XStatusBar_Click() {
  EnableApply();
}
void frmOptions::XMenuBar_Click() {
  EnableApply();
}
void frmOptions::XToolBar_Click() {
  EnableApply();
}

// ---- Help and links ------------------------------------------------------------------------

void frmOptions::OpenWithShell(const std::string& target) {
  SkipOnFailure([&] {
    const auto owner = TrapOr<std::uintptr_t>(0, [&] { return window_.Handle(); });
    services_.shell.ShellExecuteA(owner, "open", target, "", "", ShellLauncher::kShowNormal);
  });
}

void frmOptions::Label15_Click() {
  OpenWithShell(services_.applicationFolder + "\\help\\help.htm");
}

void frmOptions::Label6_Click() {
  OpenWithShell(std::string("mailto:") + about::kSupportAddress);
}

void frmOptions::Label7_Click() {
  OpenWithShell(std::string("http://") + about::kProductWebAddress);
}

void frmOptions::Label8_Click() {
  OpenWithShell(std::string("http://") + about::kPublisherWebAddress);
}

}  // namespace velmox
