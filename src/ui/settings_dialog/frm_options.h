#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/app_state.h"
#include "core/input_codes.h"
#include "core/option_record.h"
#include "core/site_entry.h"
#include "settings/option_schema.h"
#include "ui/settings_dialog/dialog_services.h"
#include "ui/settings_dialog/dialog_window.h"
#include "ui/settings_dialog/options_controls.h"

namespace velmox {

// What the dialog saw when it opened; Cancel and closing the window put it back.
struct SavedOptionValues {
  OptionRecord options;
  bool AutoLoad = false;  // the stored kAutoLoadSetting, which OptionValues does not hold
};

// The Settings dialog as a model of its controls. Its handlers change `controls`; setting a check
// box or option button from code raises its click and changing a text box's text raises its
// change, as the real controls do. A desktop binds it in three ways:
//   - it draws `controls` (found by name with controls.Find) and redraws a control whenever
//     `onChanged` names it ("frmOptions" for the caption, "tbsOptions", "ListView1"); every
//     change is announced, also one that came from the user's own input;
//   - it feeds the user's input through the entry points (Click, ChangeText, LeaveText,
//     SelectTab, the tab strip's mouse handlers, SelectRow, the key handlers, CloseWindow);
//   - it implements SettingsDialogWindow, which the dialog drives.
// No entry point lets an exception escape.
class frmOptions {
 public:
  frmOptions(AppState& state, DialogServices services, SettingsDialogWindow& window);
  frmOptions(const frmOptions&) = delete;
  frmOptions& operator=(const frmOptions&) = delete;

  OptionsControls controls;
  std::string Caption;
  std::function<void(std::string_view controlName)> onChanged;

  SavedOptionValues SavedOptions;
  std::vector<SiteEntry> SavedSites;
  std::vector<SiteEntry> WorkingSites;
  std::int16_t CurrentPage = 0;
  bool ClosedByButton = false;

  bool Loaded() const { return loaded_; }
  // True when a person can reach the control: it and every frame and page it sits in are
  // visible and enabled.
  bool Reachable(const Control& control);

  // ---- The user's input ------------------------------------------------------------------
  // A click on a control: a check box toggles, an option button is selected, then the control's
  // click runs. False when the control is unknown, hidden, disabled or on a disabled page.
  bool Click(std::string_view name);
  // The user edits a text box: its text becomes `text` (raising its change).
  bool ChangeText(std::string_view name, std::string text);
  // The focus leaves a text box: its validation runs.
  bool LeaveText(std::string_view name);
  // Selects the tab at `position` (from 1), which raises the tab strip's click.
  void SelectTab(int position);
  void SelectRow(std::size_t row, bool selected);
  // The close box, the system or Velmox's shutdown closes the window: it unloads as by Cancel.
  void CloseWindow();

  // ---- Handlers ----------------------------------------------------------------------------
  void Form_Load();
  // True when the dialog used the key (F1, Ctrl+Tab, Enter); the desktop then drops it.
  // `focused` names the control with the focus (empty for none): Enter presses the button that
  // has it, else OK, after validating the text box that has it as a click would.
  bool Form_KeyDown(int keyCode, int shift, std::string_view focused);
  void Form_Unload();

  void tbsOptions_Click();
  void tbsOptions_MouseDown(int button, int shift, float x, float y);
  void tbsOptions_MouseUp(int button, int shift, float x, float y);

  void RefreshControls();
  void RefreshListView();

  void XRun_Click();
  void XClose_Click();
  void XBlink_Click();
  void XIgnoreLocal_Click();
  void XTargetTop_Click();
  void XTargetBlank_Click();
  void XBlockByDefault1_Click();
  void XBlockByDefault2_Click();
  void XTheaterMode_Click();
  void XFullScreen_Click();
  void XStatusBar_Click();
  void XMenuBar_Click();
  void XToolBar_Click();

  void Label15_Click();
  void Label6_Click();
  void Label7_Click();
  void Label8_Click();

  // The alert sound.
  void XPlaySound_Click();
  void FileNameText_Change();
  void FileNameText_Validate();
  void BrowseSound_Click();
  void PlaySound_Click();

  // The website list.
  void CmdAllow_Click();
  void CmdDisallow_Click();
  void CmdDelete_Click();
  void ListView1_KeyDown(int keyCode, int shift);
  void ListView1_ColumnClick(int columnPosition);

  // Apply, OK, Cancel.
  void cmdApply_Click();
  void cmdOK_Click();
  void cmdCancel_Click();

 private:
  // Model changes made by code, with the events the real controls raise.
  void Notify(std::string_view name);
  void SetValue(Control& control, int value);
  void SetEnabled(Control& control, bool enabled);
  void SetText(Control& control, std::string text);
  void RaiseClick(const Control& control);
  void RaiseChange(const Control& control);

  void ShowSelectedPage();
  void EnableApply();
  void ApplySoundRule();
  void OpenWithShell(const std::string& target);
  void SetVerdict(bool blocked);

  // Puts the controls into the options (Apply, OK) and stores the ones Apply stores at once.
  void TakeControls();
  // Puts the working site list into the live one (Apply, OK).
  void CommitSites(bool refresh);
  // Puts back the options and sites the dialog opened with (Cancel, closing the window).
  void RestoreSaved();
  void SaveOption(const SettingKey& setting, const std::string& text);
  // Stores the options that `button` stores.
  void SaveOptions(const OptionRecord& options, StoredBy button);
  void Unload();

  AppState& state_;
  DialogServices services_;
  SettingsDialogWindow& window_;
  bool loaded_ = false;
};

}  // namespace velmox
