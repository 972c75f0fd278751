// Script commands for the Settings dialog: what a person does in it (tabs, keys, clicks, typing,
// the site list, the file dialog, the close box) and what can be seen of it; and two
// expectations on Velmox's live state that are useful everywhere (verdicts and options).
#include <map>
#include <string>
#include <vector>

#include "platform/sim/script/dialog_watch.h"
#include "platform/sim/script/script_runner.h"
#include "sites/site_verdict.h"

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

// Why a person cannot reach the control, or empty when they can: the control and every frame
// and page it sits in must be visible and enabled.
std::string Unreachable(frmOptions& dialog, const Control& control) {
  for (const Control* c = &control; c != nullptr; c = dialog.controls.Find(c->parent)) {
    const std::string where = c == &control ? "" : " (" + c->name + ")";
    if (!c->visible) return "hidden" + where;
    if (!c->enabled) return "disabled" + where;
    if (c->parent.empty()) break;
  }
  return "";
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
void Act(ScriptContext& c, Action&& action) {
  c.session.Deliver(std::forward<Action>(action));
}

bool ListReachable(frmOptions& dialog) {
  return Unreachable(dialog, dialog.controls.fraSample3).empty();
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
  Act(c, [&] {
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
  Act(c, [&, code = code, shift = shift] {
    // The dialog sees every key first; what it does not use goes to the focused control.
    if (dialog.Form_KeyDown(code, shift)) return;
    if (c.session.desktop.settingsWindow.focus == dialog.controls.ListView1.name &&
        ListReachable(dialog))
      dialog.ListView1_KeyDown(code, shift);
  });
}

void ClickControl(ScriptContext& c) {
  c.ExpectArgCount(1);
  frmOptions& dialog = Dialog(c);
  Control& control = NamedControl(dialog, c.Bare(0));
  if (const std::string why = Unreachable(dialog, control); !why.empty()) {
    c.session.desktop.trace.Line("dialog", control.name + " does not respond: " + why);
    return;
  }
  Act(c, [&] {
    if (TakesFocus(control)) MoveFocus(c, dialog, control.name);
    dialog.Click(control.name);
  });
}

void TypeText(ScriptContext& c) {
  c.ExpectArgCount(2);
  frmOptions& dialog = Dialog(c);
  Control& control = NamedControl(dialog, c.Bare(0));
  if (control.kind != ControlKind::TextBox) Malformed(control.name + " is not a text box");
  if (const std::string why = Unreachable(dialog, control); !why.empty()) {
    c.session.desktop.trace.Line("dialog", control.name + " does not respond: " + why);
    return;
  }
  const std::string text = c.Text(1);
  Act(c, [&] {
    MoveFocus(c, dialog, control.name);
    dialog.ChangeText(control.name, text);
  });
}

void LeaveFocus(ScriptContext& c) {
  c.ExpectArgCount(0);
  frmOptions& dialog = Dialog(c);
  Act(c, [&] { MoveFocus(c, dialog, ""); });
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
  Act(c, [&] {
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
    position = static_cast<int>(WholeNumber(c.Bare(0)));
  } else {
    for (std::size_t i = 0; i < columns.size(); ++i) {
      if (columns[i].header == c.Text(0)) position = static_cast<int>(i) + 1;
    }
  }
  if (position < 1 || position > static_cast<int>(columns.size()))
    Malformed("the site list has no column " + c.Text(0));
  Act(c, [&] {
    MoveFocus(c, dialog, dialog.controls.ListView1.name);
    dialog.ListView1_ColumnClick(position);
  });
}

void CloseBox(ScriptContext& c) {
  c.ExpectArgCount(0);
  frmOptions& dialog = Dialog(c);
  Act(c, [&] { dialog.CloseWindow(); });
}

const FileOpenRequest& OpenFileDialog(ScriptContext& c) {
  c.runner.OpenModal(Modal::File);
  const auto& open = c.session.desktop.fileDialogs.open;
  if (!open) Failed("no file dialog is open");
  return *open;
}

bool IsAbsolute(const std::string& path) {
  return path.starts_with("/") || path.starts_with("\\") || (path.size() > 1 && path[1] == ':');
}

// The system's dialog: a name without a folder is in the folder shown, a name without an
// extension gets the default one, and with "file must exist" only an existing file is taken.
void ChooseFile(ScriptContext& c) {
  c.ExpectArgCount(1);
  const FileOpenRequest& request = OpenFileDialog(c);
  Modal& modal = c.runner.OpenModal(Modal::File);
  std::string path = c.Text(0);
  if (!IsAbsolute(path)) {
    const std::string& folder = request.initialFolder;
    path = folder + (folder.empty() || folder.ends_with("\\") ? "" : "\\") + path;
  }
  const auto separator = path.find_last_of("\\/");
  std::string title = separator == std::string::npos ? path : path.substr(separator + 1);
  if (title.find('.') == std::string::npos && !request.defaultExtension.empty()) {
    const std::string& ext = request.defaultExtension;
    const std::string dotted = ext.starts_with(".") ? ext : "." + ext;
    path += dotted;
    title += dotted;
  }
  if ((request.flags & FileDialogs::kFileMustExist) != 0) {
    bool exists = true;
    try {
      c.session.desktop.files.FileLength(path);
    } catch (const std::exception&) {
      exists = false;
    }
    if (!exists) {
      c.session.desktop.trace.Line("file dialog",
                                   Quoted(path) + " cannot be chosen: there is no such file");
      return;
    }
  }
  modal.chosen = {path, title};
  modal.answer = 1;
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
  return static_cast<int>(WholeNumber(word));
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
  const int expected =
      c.args[0].quoted ? TabPosition(c, dialog, 0) - 1 : static_cast<int>(WholeNumber(c.Bare(0)));
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

std::string Listed(const std::vector<std::string>& items) {
  std::string out;
  for (const std::string& item : items)
    out += (out.empty() ? "" : " ") + item;
  return out.empty() ? "none" : out;
}

// Shell calls made by the latest action: VERB "TARGET" ...
void ExpectShell(ScriptContext& c) {
  std::vector<std::string> expected;
  if (!(c.args.size() == 1 && c.IsBare(0, "none"))) {
    if (c.args.size() % 2 != 0) Malformed("expected pairs of a verb and a target");
    for (std::size_t i = 0; i < c.args.size(); i += 2)
      expected.push_back(c.Bare(i) + " " + Quoted(c.Text(i + 1)));
  }
  const auto& calls = c.session.desktop.shell.calls;
  std::vector<std::string> seen;
  for (std::size_t i = c.runner.LastAction().shellCalls; i < calls.size(); ++i)
    seen.push_back(calls[i].verb + " " + Quoted(calls[i].target));
  ExpectSame("the shell calls of the last action", Listed(expected), Listed(seen));
}

// Settings saved and files written by the latest action, in order.
void ExpectWrites(ScriptContext& c) {
  std::vector<std::string> expected;
  if (!(c.args.size() == 1 && c.IsBare(0, "none"))) {
    for (std::size_t i = 0; i < c.args.size(); ++i)
      expected.push_back(Quoted(c.Text(i)));
  }
  const auto& writes = c.session.desktop.writes;
  std::vector<std::string> seen;
  for (std::size_t i = c.runner.LastAction().writes; i < writes.size(); ++i)
    seen.push_back(Quoted(writes[i]));
  ExpectSame("the writes of the last action", Listed(expected), Listed(seen));
}

void ExpectFileDialog(ScriptContext& c) {
  if (c.args.empty() || c.args.size() % 2 != 0)
    Malformed("expected pairs of a setting and a value");
  const FileOpenRequest& request = OpenFileDialog(c);
  for (std::size_t i = 0; i < c.args.size(); i += 2) {
    const std::string& word = c.Bare(i);
    if (word == "flags") {
      ExpectSame("the file dialog's flags", std::to_string(WholeNumber(c.Bare(i + 1))),
                 std::to_string(request.flags));
      continue;
    }
    static const std::map<std::string, std::string FileOpenRequest::*> texts = {
        {"title", &FileOpenRequest::title},
        {"filter", &FileOpenRequest::filter},
        {"extension", &FileOpenRequest::defaultExtension},
        {"folder", &FileOpenRequest::initialFolder},
        {"name", &FileOpenRequest::fileName},
    };
    const auto field = texts.find(word);
    if (field == texts.end()) Malformed("the file dialog has no setting " + word);
    ExpectSame("the file dialog's " + word, Quoted(c.Text(i + 1)), Quoted(request.*field->second));
  }
}

Application& LatestRun(ScriptContext& c) {
  Application* run = c.session.LatestRun();
  if (run == nullptr) Failed("Velmox has not been started");
  return *run;
}

void ExpectVerdict(ScriptContext& c) {
  c.ExpectArgCount(2);
  const AppState& state = LatestRun(c).State();
  const std::string host = c.Text(0);
  const std::string& expected = c.Bare(1);
  if (expected != "allowed" && expected != "disallowed" && expected != "unlisted")
    Malformed("a verdict is allowed, disallowed or unlisted: " + expected);
  std::string seen;
  if (expected == "unlisted")
    seen = state.Sites.Verdict(host) ? "listed" : "unlisted";
  else
    seen =
        IsBlocked(state.Sites, state.OptionValues.BlockByDefault, host) ? "disallowed" : "allowed";
  ExpectSame("the verdict for " + Quoted(host), expected, seen);
}

void ExpectOption(ScriptContext& c) {
  c.ExpectArgCount(2);
  const std::string& name = c.Bare(0);
  for (const auto& [option, value] : OptionTexts(LatestRun(c).State().OptionValues)) {
    if (option != name) continue;
    ExpectSame("option " + name, Quoted(c.Text(1)), Quoted(value));
    return;
  }
  Malformed("no such option: " + name);
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
  t["file dialog choose"] = ChooseFile;
  t["file dialog cancel"] = [](ScriptContext& c) {
    c.ExpectArgCount(0);
    OpenFileDialog(c);
    c.runner.OpenModal(Modal::File).answer = 2;
  };

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
  t["expect shell"] = ExpectShell;
  t["expect writes"] = ExpectWrites;
  t["expect file dialog"] = ExpectFileDialog;
  t["expect verdict"] = ExpectVerdict;
  t["expect option"] = ExpectOption;
}

}  // namespace velmox::sim
