#include "core/failure.h"
#include "settings/boolean_text.h"
#include "settings/option_schema.h"
#include "sites/site_file.h"
#include "ui/settings_dialog/frm_options.h"

// Apply, OK and Cancel: what happens to the user's changes, and the unload.
namespace velmox {
namespace {

bool Ticked(const Control& control) {
  return control.value == kChecked;  // a greyed box counts as clear
}

}  // namespace

void frmOptions::SaveOption(const SettingKey& setting, const std::string& text) {
  SkipOnFailure([&] { StoreSetting(services_.settings, setting, text); });
}

void frmOptions::SaveOptions(const OptionRecord& options, StoredBy button) {
  for (const OptionField& field : kOptionFields) {
    if (field.storedBy == button) SaveOption(field.setting, StoredText(field, options));
  }
}

void frmOptions::TakeControls() {
  OptionRecord& o = state_.OptionValues;
  SaveOption(kAutoLoadSetting, BooleanText(Ticked(controls.XRun)));
  o.AutoClose = Ticked(controls.XClose);
  SaveOptions(o, StoredBy::Apply);
  o.TheaterMode = Ticked(controls.XTheaterMode);
  o.FullScreen = Ticked(controls.XFullScreen);
  o.StatusBar = Ticked(controls.XStatusBar);
  o.MenuBar = Ticked(controls.XMenuBar);
  o.ToolBar = Ticked(controls.XToolBar);
  o.IgnoreLocal = Ticked(controls.XIgnoreLocal);
  o.LinkTarget = Ticked(controls.XTargetTop) ? "_top" : "_blank";
  o.BlinkLightBulb = Ticked(controls.XBlink);
  o.PlayASound = Ticked(controls.XPlaySound);
  // With the sound off the stored path is kept, whatever the box shows.
  if (o.PlayASound) o.SoundFileName = controls.FileNameText.text;
  o.BlockByDefault = Ticked(controls.XBlockByDefault1);
}

// Sites appended to the live list while the dialog was open (from the browser's context menu)
// are taken over; every other entry is the dialog's.
void frmOptions::CommitSites(bool refresh) {
  const auto& live = state_.Sites.Entries();
  if (live.size() <= WorkingSites.size()) {
    state_.Sites.ReplaceAll(WorkingSites);
    return;
  }
  for (std::size_t i = WorkingSites.size(); i < live.size(); ++i)
    WorkingSites.push_back(live[i]);
  state_.Sites.ReplaceAll(WorkingSites);
  if (refresh) RefreshListView();
}

void frmOptions::RestoreSaved() {
  SaveOption(kAutoLoadSetting, BooleanText(SavedOptions.AutoLoad));
  state_.OptionValues = SavedOptions.options;
  SaveOptions(state_.OptionValues, StoredBy::Apply);
  // Entries appended since the dialog opened stay.
  for (std::size_t i = 0; i < SavedSites.size(); ++i) {
    SkipOnFailure([&] { state_.Sites.SetEntry(i, SavedSites[i]); });
  }
}

void frmOptions::cmdApply_Click() {
  SkipOnFailure([&] { TakeControls(); });
  SkipOnFailure([&] { CommitSites(true); });
  SetEnabled(controls.cmdApply, false);
}

void frmOptions::cmdOK_Click() {
  SkipOnFailure([&] { TakeControls(); });
  SkipOnFailure([&] { CommitSites(false); });
  SkipOnFailure([&] {
    RecordBlockedHosts(services_.files, services_.applicationFolder, state_.Sites,
                       state_.SitesFile);
  });
  SaveOptions(state_.OptionValues, StoredBy::Ok);
  ClosedByButton = true;
  Unload();
}

void frmOptions::cmdCancel_Click() {
  SkipOnFailure([&] { RestoreSaved(); });
  ClosedByButton = true;
  Unload();
}

void frmOptions::Form_Unload() {
  state_.DialogOpen = false;
  if (!ClosedByButton) SkipOnFailure([&] { RestoreSaved(); });
}

void frmOptions::Unload() {
  if (!loaded_) return;
  loaded_ = false;
  Form_Unload();
  SkipOnFailure([&] { window_.Destroy(); });
}

}  // namespace velmox
