// Script commands for the Settings dialog: what a person does in it (tabs, keys, clicks, typing,
// the site list, the close box) and what can be seen of it.
#include <map>
#include <string>
#include <vector>

#include "platform/sim/script/script_runner.h"

namespace velmox::sim {
namespace {

frmOptions* LoadedDialog(ScriptContext& c) {
  Application* run = c.session.LatestRun();
  return run != nullptr ? run->Settings().Current() : nullptr;
}

frmOptions& Dialog(ScriptContext& c) {
  frmOptions* dialog = LoadedDialog(c);
  if (dialog == nullptr) Failed("the Settings dialog is not open");
  return *dialog;
}

Control& NamedControl(frmOptions& dialog, const std::string& name) {
  Control* control = dialog.controls.Find(name);
  if (control == nullptr) Malformed("the Settings dialog has no control " + name);
  return *control;
}

// A control a person cannot reach does not respond; the trace says why.
bool Responds(ScriptContext& c, frmOptions& dialog, const Control& control) {
  if (dialog.Reachable(control)) return true;
  const char* why = !control.visible   ? "hidden"
                    : !control.enabled ? "disabled"
                                       : "its page or frame is hidden or disabled";
  c.session.desktop.trace.Line("dialog", control.name + " does not respond: " + why);
  return false;
}

// While a modal window the dialog owns is open (a message box, the file dialog) the dialog is
// disabled: a person's input reaches nothing, and the trace says why.
bool TakesInput(ScriptContext& c) {
  if (c.session.desktop.settingsWindow.Enabled()) return true;
  c.session.desktop.trace.Line("dialog",
                               "the Settings dialog does not respond: a window it owns is open");
  return false;
}

// Labels, pictures and frames never take the focus; everything else a person clicks does.
bool TakesFocus(const Control& control) {
  switch (control.kind) {
    case ControlKind::CheckBox:
    case ControlKind::OptionButton:
    case ControlKind::TextBox:
    case ControlKind::Button:
      return true;
    default:
      return false;
  }
}

// Moving the focus off the text box validates it first, as the real dialog does.
void MoveFocus(ScriptContext& c, frmOptions& dialog, const std::string& to) {
  std::string& focus = c.session.desktop.settingsWindow.focus;
  if (focus == to) return;
  const std::string from = focus;
  focus = to;
  const Control* left = dialog.controls.Find(from);
  if (left != nullptr && left->kind == ControlKind::TextBox) dialog.LeaveText(from);
}

// Runs a person's action on the dialog as one event of Velmox's.
template <class Action>
void ActOnDialog(ScriptContext& c, Action&& action) {
  c.session.Deliver(std::forward<Action>(action));
}

bool ListReachable(frmOptions& dialog) {
  return dialog.Reachable(dialog.controls.fraSample3);
}

void NeedList(frmOptions& dialog) {
  if (!ListReachable(dialog)) Failed("the site list is not on the page shown");
}

int TabPosition(ScriptContext& c, frmOptions& dialog, std::size_t index) {
  const auto& tabs = dialog.controls.tbsOptions.tabs;
  if (!c.args.at(index).quoted) {
    const long position = WholeNumber(c.Bare(index));
    if (position < 1 || position > static_cast<long>(tabs.size()))
      Malformed("no tab at position " + c.Bare(index));
    return static_cast<int>(position);
  }
  const std::string caption = c.Text(index);
  for (std::size_t i = 0; i < tabs.size(); ++i) {
    if (tabs[i].caption == caption) return static_cast<int>(i) + 1;
  }
  Malformed("the Settings dialog has no tab " + Quoted(caption));
}

// ---- Actions -----------------------------------------------------------------------------------

void ClickTab(ScriptContext& c) {
  if (c.args.empty() || c.args.size() > 2) Malformed("expected a tab and perhaps a mouse button");
  frmOptions& dialog = Dialog(c);
  const int position = TabPosition(c, dialog, 0);
  const std::string button = c.args.size() == 2 ? c.Bare(1) : "left";
  static const std::map<std::string, int> buttons = {{"left", 1}, {"right", 2}, {"middle", 4}};
  const auto found = buttons.find(button);
  if (found == buttons.end()) Malformed("no such mouse button: " + button);
  const int pressed = found->second;
  if (!TakesInput(c)) return;
  ActOnDialog(c, [&] {
    // Only the left button selects a tab; every button reaches the mouse handlers.
    if (pressed == kLeftButton) MoveFocus(c, dialog, dialog.controls.tbsOptions.name);
    dialog.tbsOptions_MouseDown(pressed, 0, 0, 0);
    if (pressed == kLeftButton) dialog.SelectTab(position);
    dialog.tbsOptions_MouseUp(pressed, 0, 0, 0);
  });
}

// "F1", "Ctrl+Tab", "Ctrl+Shift+Tab", "Delete" ...: the key code and the shift state.
std::pair<int, int> ParseKey(const std::string& text) {
  static const std::map<std::string, int> modifiers = {{"Shift", 1}, {"Ctrl", 2}, {"Alt", 4}};
  static const std::map<std::string, int> keys = {
      {"Tab", 9},  {"Enter", 13}, {"Escape", 27}, {"Space", 32}, {"Delete", 46}, {"F1", 112},
      {"F2", 113}, {"F3", 114},   {"F4", 115},    {"F5", 116},   {"F6", 117},    {"F7", 118},
      {"F8", 119}, {"F9", 120},   {"F10", 121},   {"F11", 122},  {"F12", 123},
  };
  int shift = 0;
  std::string rest = text;
  for (auto plus = rest.find('+'); plus != std::string::npos; plus = rest.find('+')) {
    const auto modifier = modifiers.find(rest.substr(0, plus));
    if (modifier == modifiers.end()) Malformed("no such key: " + text);
    shift |= modifier->second;
    rest = rest.substr(plus + 1);
  }
  const auto key = keys.find(rest);
  if (key == keys.end()) Malformed("no such key: " + text);
  return {key->second, shift};
}

void PressKey(ScriptContext& c) {
  c.ExpectArgCount(1);
  const auto [code, shift] = ParseKey(c.Bare(0));
  frmOptions& dialog = Dialog(c);
  if (!TakesInput(c)) return;
  ActOnDialog(c, [&, code = code, shift = shift] {
    // The dialog sees every key first; what it does not use goes to the focused control.
    if (dialog.Form_KeyDown(code, shift, c.session.desktop.settingsWindow.focus)) return;
    if (c.session.desktop.settingsWindow.focus == dialog.controls.ListView1.name &&
        ListReachable(dialog))
      dialog.ListView1_KeyDown(code, shift);
  });
}

void ClickControl(ScriptContext& c) {
  c.ExpectArgCount(1);
  frmOptions& dialog = Dialog(c);
  Control& control = NamedControl(dialog, c.Bare(0));
  if (!TakesInput(c) || !Responds(c, dialog, control)) return;
  ActOnDialog(c, [&] {
    if (TakesFocus(control)) MoveFocus(c, dialog, control.name);
    dialog.Click(control.name);
  });
}

void TypeText(ScriptContext& c) {
  c.ExpectArgCount(2);
  frmOptions& dialog = Dialog(c);
  Control& control = NamedControl(dialog, c.Bare(0));
  if (control.kind != ControlKind::TextBox) Malformed(control.name + " is not a text box");
  const std::string text = c.Text(1);
  if (!TakesInput(c) || !Responds(c, dialog, control)) return;
  ActOnDialog(c, [&] {
    MoveFocus(c, dialog, control.name);
    dialog.ChangeText(control.name, text);
  });
}

void LeaveFocus(ScriptContext& c) {
  c.ExpectArgCount(0);
  frmOptions& dialog = Dialog(c);
  if (!TakesInput(c)) return;
  ActOnDialog(c, [&] { MoveFocus(c, dialog, ""); });
}

// Rows named by their text (the first one not named yet, so that "a" "a" names two rows of the
// same text) or by their position from 1.
std::vector<bool> NamedRows(ScriptContext& c, const ListView& list, std::size_t first) {
  std::vector<bool> named(list.rows.size(), false);
  for (std::size_t i = first; i < c.args.size(); ++i) {
    if (!c.args[i].quoted) {
      const long position = WholeNumber(c.Bare(i));
      if (position < 1 || position > static_cast<long>(list.rows.size()))
        Failed("the site list has no row " + c.Bare(i));
      named[static_cast<std::size_t>(position - 1)] = true;
      continue;
    }
    const std::string text = c.Text(i);
    bool found = false;
    for (std::size_t r = 0; r < list.rows.size() && !found; ++r) {
      if (named[r] || list.rows[r].columns.empty() || list.rows[r].columns[0] != text) continue;
      named[r] = found = true;
    }
    if (!found) Failed("the site list has no (further) row " + Quoted(text));
  }
  return named;
}

void SelectRows(ScriptContext& c, bool adding) {
  frmOptions& dialog = Dialog(c);
  NeedList(dialog);
  ListView& list = dialog.controls.ListView1;
  const std::vector<bool> named = NamedRows(c, list, 0);
  if (!TakesInput(c)) return;
  ActOnDialog(c, [&] {
    MoveFocus(c, dialog, list.name);
    std::vector<std::size_t> changing;
    for (std::size_t r = 0; r < list.rows.size(); ++r) {
      const bool wanted = named[r] || (adding && list.rows[r].selected);
      if (wanted != list.rows[r].selected) changing.push_back(r);
    }
    // One click redraws the list once: the last row goes through the model's entry point, which
    // announces the whole list.
    for (std::size_t i = 0; i < changing.size(); ++i) {
      const std::size_t r = changing[i];
      if (i + 1 < changing.size())
        list.rows[r].selected = !list.rows[r].selected;
      else
        dialog.SelectRow(r, !list.rows[r].selected);
    }
  });
}

void ClickColumn(ScriptContext& c) {
  c.ExpectArgCount(1);
  frmOptions& dialog = Dialog(c);
  NeedList(dialog);
  const auto& columns = dialog.controls.ListView1.columns;
  int position = 0;
  if (!c.args[0].quoted) {
    position = WholeInt(c.Bare(0));
  } else {
    for (std::size_t i = 0; i < columns.size(); ++i) {
      if (columns[i].header == c.Text(0)) position = static_cast<int>(i) + 1;
    }
  }
  if (position < 1 || position > static_cast<int>(columns.size()))
    Malformed("the site list has no column " + c.Text(0));
  if (!TakesInput(c)) return;
  ActOnDialog(c, [&] {
    MoveFocus(c, dialog, dialog.controls.ListView1.name);
    dialog.ListView1_ColumnClick(position);
  });
}

void CloseBox(ScriptContext& c) {
  c.ExpectArgCount(0);
  frmOptions& dialog = Dialog(c);
  if (!TakesInput(c)) return;
  ActOnDialog(c, [&] { dialog.CloseWindow(); });
}

// ---- Expectations ------------------------------------------------------------------------------

std::string ValueWord(const Control& control) {
  if (control.kind == ControlKind::CheckBox)
    return control.value == kChecked ? "ticked" : control.value == kGrayed ? "greyed" : "cleared";
  if (control.kind == ControlKind::OptionButton)
    return control.value == kChecked ? "selected" : "unselected";
  return "value " + std::to_string(control.value);
}

int ColourNumber(const std::string& word) {
  if (word == "window") return kColorWindow;
  if (word == "buttonface") return kColorBtnFace;
  if (word == "default") return kNoColour;
  return WholeInt(word);
}

void ExpectControl(ScriptContext& c) {
  if (c.args.size() < 2) Malformed("expected a control and what to check");
  frmOptions& dialog = Dialog(c);
  const Control& control = NamedControl(dialog, c.Bare(0));
  const std::string what = control.name;
  for (std::size_t i = 1; i < c.args.size(); ++i) {
    const std::string& word = c.Bare(i);
    if (word == "ticked" || word == "cleared" || word == "greyed" || word == "selected" ||
        word == "unselected") {
      ExpectSame(what, word, ValueWord(control));
    } else if (word == "enabled" || word == "disabled") {
      ExpectSame(what, word, control.enabled ? "enabled" : "disabled");
    } else if (word == "visible" || word == "hidden") {
      ExpectSame(what, word, control.visible ? "visible" : "hidden");
    } else if (word == "value" || word == "left") {
      const long expected = WholeNumber(c.Bare(++i));
      const int seen = word == "value" ? control.value : control.left;
      ExpectSame(what + " " + word, std::to_string(expected), std::to_string(seen));
    } else if (word == "colour") {
      const int expected = ColourNumber(c.Bare(++i));
      ExpectSame(what + "'s colour", ColourName(expected), ColourName(control.backColour));
    } else if (word == "text" || word == "caption" || word == "tip") {
      const std::string expected = c.Text(++i);
      const std::string& seen = word == "text"      ? control.text
                                : word == "caption" ? control.caption
                                                    : control.toolTip;
      ExpectSame(what + "'s " + word, Quoted(expected), Quoted(seen));
    } else {
      Malformed("cannot check " + word + " of a control");
    }
  }
}

std::string PageName(const frmOptions& dialog, int page) {
  const auto& tabs = dialog.controls.tbsOptions.tabs;
  if (page < 0 || page >= static_cast<int>(tabs.size())) return "page " + std::to_string(page);
  return "page " + std::to_string(page) + " " +
         Quoted(tabs[static_cast<std::size_t>(page)].caption);
}

// The page shown is the one at left 210, enabled, with CurrentPage naming it and every other
// page out of sight and disabled.
void ExpectPage(ScriptContext& c) {
  c.ExpectArgCount(1);
  frmOptions& dialog = Dialog(c);
  const int expected = c.args[0].quoted ? TabPosition(c, dialog, 0) - 1 : WholeInt(c.Bare(0));
  ExpectSame("the page shown", PageName(dialog, expected), PageName(dialog, dialog.CurrentPage));
  const auto& pages = dialog.controls.picOptions;
  for (std::size_t i = 0; i < pages.size(); ++i) {
    const bool shown = static_cast<int>(i) == expected;
    const std::string place = std::to_string(shown ? kPageShownLeft : kPageHiddenLeft);
    ExpectSame(pages[i].name + " at left", place, std::to_string(pages[i].left));
    ExpectSame(pages[i].name, shown ? "enabled" : "disabled",
               pages[i].enabled ? "enabled" : "disabled");
  }
  ExpectSame("the tab selected", std::to_string(expected + 1),
             std::to_string(dialog.controls.tbsOptions.selected));
}

// "host" Allowed [selected] ... in the trace's own words.
void ExpectRows(ScriptContext& c) {
  frmOptions& dialog = Dialog(c);
  std::string expected;
  if (!(c.args.size() == 1 && c.IsBare(0, "none"))) {
    for (std::size_t i = 0; i < c.args.size(); ++i) {
      if (!c.args[i].quoted) Malformed("a row begins with its text in quotes: " + c.Bare(i));
      expected += (expected.empty() ? "" : ", ") + Quoted(c.Text(i));
      if (c.IsBare(i + 1, "Allowed") || c.IsBare(i + 1, "Disallowed"))
        expected += " " + c.Bare(++i);
      if (c.IsBare(i + 1, "selected")) {
        expected += " (selected)";
        ++i;
      }
    }
  }
  ExpectSame("the rows", expected.empty() ? "none" : expected,
             DescribeRows(dialog.controls.ListView1));
}

void ExpectSortedBy(ScriptContext& c) {
  c.ExpectArgCount(1);
  const ListView& list = Dialog(c).controls.ListView1;
  const int key = list.sortKey;
  ExpectSame("the rows sorted by", Quoted(c.Text(0)),
             key >= 0 && key < static_cast<int>(list.columns.size())
                 ? Quoted(list.columns[static_cast<std::size_t>(key)].header)
                 : std::to_string(key));
}

}  // namespace

void AddDialogCommands(CommandTable& t) {
  t["dialog tab"] = ClickTab;
  t["dialog key"] = PressKey;
  t["dialog click"] = ClickControl;
  t["dialog type"] = TypeText;
  t["dialog leave"] = LeaveFocus;
  t["dialog select"] = [](ScriptContext& c) { SelectRows(c, false); };
  t["dialog select more"] = [](ScriptContext& c) { SelectRows(c, true); };
  t["dialog column"] = ClickColumn;
  t["dialog close"] = CloseBox;

  t["expect dialog open"] = [](ScriptContext& c) {
    c.ExpectArgCount(0);
    if (LoadedDialog(c) == nullptr) Failed("expected the Settings dialog open, saw it closed");
  };
  t["expect dialog closed"] = [](ScriptContext& c) {
    c.ExpectArgCount(0);
    if (LoadedDialog(c) != nullptr) Failed("expected the Settings dialog closed, saw it open");
  };
  t["expect dialog caption"] = [](ScriptContext& c) {
    c.ExpectArgCount(1);
    ExpectSame("the dialog's caption", Quoted(c.Text(0)), Quoted(Dialog(c).Caption));
  };
  t["expect dialog page"] = ExpectPage;
  t["expect dialog rows"] = ExpectRows;
  t["expect dialog sorted by"] = ExpectSortedBy;
  t["expect control"] = ExpectControl;
}

}  // namespace velmox::sim
