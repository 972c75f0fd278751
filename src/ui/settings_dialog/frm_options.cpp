#include "ui/settings_dialog/frm_options.h"

#include <utility>

#include "core/failure.h"

// The model's plumbing: the user's entry points and the events that changing a control raises.
namespace velmox {
namespace {

using Handler = void (frmOptions::*)();

struct Route {
  std::string_view control;
  Handler handler;
};

constexpr Route kClickRoutes[] = {
    {"XRun", &frmOptions::XRun_Click},
    {"XClose", &frmOptions::XClose_Click},
    {"XBlink", &frmOptions::XBlink_Click},
    {"XPlaySound", &frmOptions::XPlaySound_Click},
    {"PlaySound", &frmOptions::PlaySound_Click},
    {"BrowseSound", &frmOptions::BrowseSound_Click},
    {"XIgnoreLocal", &frmOptions::XIgnoreLocal_Click},
    {"XTargetTop", &frmOptions::XTargetTop_Click},
    {"XTargetBlank", &frmOptions::XTargetBlank_Click},
    {"XBlockByDefault1", &frmOptions::XBlockByDefault1_Click},
    {"XBlockByDefault2", &frmOptions::XBlockByDefault2_Click},
    {"XTheaterMode", &frmOptions::XTheaterMode_Click},
    {"XFullScreen", &frmOptions::XFullScreen_Click},
    {"XStatusBar", &frmOptions::XStatusBar_Click},
    {"XMenuBar", &frmOptions::XMenuBar_Click},
    {"XToolBar", &frmOptions::XToolBar_Click},
    {"CmdDelete", &frmOptions::CmdDelete_Click},
    {"CmdAllow", &frmOptions::CmdAllow_Click},
    {"CmdDisallow", &frmOptions::CmdDisallow_Click},
    {"Label15", &frmOptions::Label15_Click},
    {"Label6", &frmOptions::Label6_Click},
    {"Label7", &frmOptions::Label7_Click},
    {"Label8", &frmOptions::Label8_Click},
    {"cmdOK", &frmOptions::cmdOK_Click},
    {"cmdCancel", &frmOptions::cmdCancel_Click},
    {"cmdApply", &frmOptions::cmdApply_Click},
};

constexpr Route kChangeRoutes[] = {
    {"FileNameText", &frmOptions::FileNameText_Change},
};

constexpr Route kValidateRoutes[] = {
    {"FileNameText", &frmOptions::FileNameText_Validate},
};

template <std::size_t N>
Handler RouteFor(const Route (&routes)[N], std::string_view control) {
  for (const Route& route : routes) {
    if (route.control == control) return route.handler;
  }
  return nullptr;
}

}  // namespace

frmOptions::frmOptions(AppState& state, DialogServices services, SettingsDialogWindow& window)
    : state_(state), services_(std::move(services)), window_(window) {}

// ---- The user's input ----------------------------------------------------------------------

bool frmOptions::Click(std::string_view name) {
  return TrapOr(false, [&] {
    Control* control = controls.Find(name);
    if (control == nullptr || !loaded_ || !Reachable(*control)) return false;
    switch (control->kind) {
      case ControlKind::CheckBox:
        SetValue(*control, control->value == kChecked ? kUnchecked : kChecked);
        return true;
      case ControlKind::OptionButton:
        // Clicking the option already selected still raises its click.
        if (control->value == kChecked) RaiseClick(*control);
        SetValue(*control, kChecked);
        return true;
      default:
        RaiseClick(*control);
        return true;
    }
  });
}

bool frmOptions::ChangeText(std::string_view name, std::string text) {
  return TrapOr(false, [&] {
    Control* control = controls.Find(name);
    if (control == nullptr || control->kind != ControlKind::TextBox || !loaded_ ||
        !Reachable(*control))
      return false;
    SetText(*control, std::move(text));
    return true;
  });
}

bool frmOptions::LeaveText(std::string_view name) {
  return TrapOr(false, [&] {
    if (!loaded_) return false;
    const Handler handler = RouteFor(kValidateRoutes, name);
    if (handler == nullptr) return false;
    (this->*handler)();
    return true;
  });
}

void frmOptions::SelectTab(int position) {
  SkipOnFailure([&] {
    if (!loaded_ || position < 1 || position > static_cast<int>(controls.tbsOptions.tabs.size()))
      return;
    controls.tbsOptions.selected = position;
    Notify(controls.tbsOptions.name);
    tbsOptions_Click();
  });
}

void frmOptions::SelectRow(std::size_t row, bool selected) {
  SkipOnFailure([&] {
    if (!loaded_ || row >= controls.ListView1.rows.size()) return;
    controls.ListView1.rows[row].selected = selected;
    Notify(controls.ListView1.name);
  });
}

void frmOptions::CloseWindow() {
  SkipOnFailure([&] { Unload(); });
}

// ---- Changes made by code ------------------------------------------------------------------

void frmOptions::Notify(std::string_view name) {
  if (onChanged) SkipOnFailure([&] { onChanged(name); });
}

void frmOptions::SetValue(Control& control, int value) {
  if (control.value == value) return;
  control.value = value;
  if (control.kind == ControlKind::OptionButton && value == kChecked) {
    for (Control* other : controls.All()) {
      if (other == &control || other->kind != ControlKind::OptionButton) continue;
      if (other->group != control.group || other->value == kUnchecked) continue;
      other->value = kUnchecked;
      Notify(other->name);
    }
  }
  Notify(control.name);
  // An option button raises its click only when it becomes selected.
  if (control.kind == ControlKind::OptionButton && value != kChecked) return;
  RaiseClick(control);
}

void frmOptions::SetEnabled(Control& control, bool enabled) {
  if (control.enabled == enabled) return;
  control.enabled = enabled;
  Notify(control.name);
}

void frmOptions::SetText(Control& control, std::string text) {
  if (control.text == text) return;
  control.text = std::move(text);
  Notify(control.name);
  RaiseChange(control);
}

void frmOptions::RaiseClick(const Control& control) {
  if (const Handler handler = RouteFor(kClickRoutes, control.name)) (this->*handler)();
}

void frmOptions::RaiseChange(const Control& control) {
  if (const Handler handler = RouteFor(kChangeRoutes, control.name)) (this->*handler)();
}

bool frmOptions::Reachable(const Control& control) {
  for (const Control* c = &control; c != nullptr; c = controls.Find(c->parent)) {
    if (!c->visible || !c->enabled) return false;
    if (c->parent.empty()) return true;
  }
  return true;
}

}  // namespace velmox
