#include "platform/sim/sim_dialog_trace.h"

#include <vector>

namespace velmox::sim {
namespace {

std::string ValueText(const Control& c) {
  if (c.kind == ControlKind::CheckBox)
    return c.value == kChecked ? "ticked" : c.value == kGrayed ? "greyed" : "cleared";
  if (c.kind == ControlKind::OptionButton) return c.value == kChecked ? "selected" : "not selected";
  return "value " + std::to_string(c.value);
}

bool IsPage(const Control& c, std::size_t& index, const frmOptions& dialog) {
  for (std::size_t i = 0; i < dialog.controls.picOptions.size(); ++i) {
    if (dialog.controls.picOptions[i].name == c.name) {
      index = i;
      return true;
    }
  }
  return false;
}

// What changed on one control, as short phrases.
std::vector<std::string> Differences(const Control& was, const Control& now) {
  std::vector<std::string> out;
  if (was.value != now.value) out.push_back(ValueText(now));
  if (was.text != now.text) out.push_back("text " + Quoted(now.text));
  if (was.caption != now.caption) out.push_back("caption " + Quoted(now.caption));
  if (was.enabled != now.enabled) out.push_back(now.enabled ? "enabled" : "disabled");
  if (was.visible != now.visible) out.push_back(now.visible ? "shown" : "hidden");
  if (was.backColour != now.backColour) out.push_back("colour " + ColourName(now.backColour));
  if (was.left != now.left) out.push_back("left " + std::to_string(now.left));
  return out;
}

}  // namespace

std::string ColourName(int colour) {
  switch (colour) {
    case kColorWindow:
      return "5 (window)";
    case kColorBtnFace:
      return "15 (button face)";
    case kNoColour:
      return "default";
    default:
      return std::to_string(colour);
  }
}

std::string DescribeRows(const ListView& list) {
  if (list.rows.empty()) return "none";
  std::string out;
  for (const ListRow& row : list.rows) {
    if (!out.empty()) out += ", ";
    out += Quoted(row.columns.empty() ? "" : row.columns[0]);
    if (row.columns.size() > 1) out += " " + row.columns[1];
    if (row.selected) out += " (selected)";
  }
  return out;
}

DialogTracer::DialogTracer(Trace& trace, frmOptions& dialog) : trace_(trace), dialog_(dialog) {
  TakeAll();
}

void DialogTracer::SetQuiet(bool quiet) {
  quiet_ = quiet;
  TakeAll();
}

void DialogTracer::TakeAll() {
  seen_.clear();
  for (Control* c : dialog_.controls.All())
    seen_[c->name] = *c;
  caption_ = dialog_.Caption;
  selectedTab_ = dialog_.controls.tbsOptions.selected;
  list_ = dialog_.controls.ListView1;
}

void DialogTracer::Changed(std::string_view name) {
  OptionsControls& controls = dialog_.controls;
  std::vector<std::string> lines;
  if (name == "frmOptions") {
    if (caption_ != dialog_.Caption) lines.push_back("caption " + Quoted(dialog_.Caption));
    caption_ = dialog_.Caption;
  } else if (name == controls.tbsOptions.name) {
    const int selected = controls.tbsOptions.selected;
    if (selected != selectedTab_ && selected >= 1 &&
        selected <= static_cast<int>(controls.tbsOptions.tabs.size())) {
      lines.push_back("tab " + std::to_string(selected) + " " +
                      Quoted(controls.tbsOptions.tabs[selected - 1].caption) + " selected");
    }
    selectedTab_ = selected;
  } else if (name == controls.ListView1.name) {
    const ListView& now = controls.ListView1;
    if (now.sortKey != list_.sortKey && now.sortKey >= 0 &&
        now.sortKey < static_cast<int>(now.columns.size())) {
      lines.push_back("list sorted by " + Quoted(now.columns[now.sortKey].header));
    }
    if (DescribeRows(now) != DescribeRows(list_)) lines.push_back("rows " + DescribeRows(now));
    list_ = now;
  } else if (const Control* now = controls.Find(name)) {
    auto was = seen_.find(name);
    if (was != seen_.end()) {
      std::size_t page = 0;
      if (IsPage(*now, page, dialog_) && was->second.left != now->left) {
        lines.push_back("page " + std::to_string(page) + " " +
                        Quoted(controls.tbsOptions.tabs.at(page).caption) +
                        (now->left == kPageShownLeft ? " shown" : " hidden"));
      } else {
        std::string phrases;
        for (const std::string& p : Differences(was->second, *now))
          phrases += (phrases.empty() ? "" : ", ") + p;
        if (!phrases.empty()) lines.push_back(now->name + " " + phrases);
      }
      was->second = *now;
    }
  }
  if (quiet_) return;
  for (const std::string& line : lines)
    trace_.Line("dialog", line);
}

}  // namespace velmox::sim
