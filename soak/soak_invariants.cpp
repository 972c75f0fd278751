#include "soak_invariants.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/application.h"
#include "core/product.h"
#include "engine/page_sinks.h"
#include "sites/site_file.h"

namespace velmox::soak {
namespace {

std::string ReadWhole(const std::filesystem::path& path, bool& present) {
  std::ifstream in(path, std::ios::binary);
  present = static_cast<bool>(in);
  std::ostringstream text;
  if (present) text << in.rdbuf();
  return text.str();
}

// The entries servers.lst can hold.
std::vector<SiteEntry> Listed(const std::vector<SiteEntry>& entries) {
  std::vector<SiteEntry> listed;
  for (const SiteEntry& entry : entries) {
    if (!entry.Host.empty() && IsRecordableHost(entry.Host)) listed.push_back(entry);
  }
  return listed;
}

std::string NameIn(const std::string& path) {
  return path.substr(path.rfind('\\') + 1);
}

}  // namespace

void WatchedFiles::WriteText(const std::string& path, const std::string& text) {
  inner_.WriteText(path, text);
  saved[NameIn(path)] = text;
  everWritten[NameIn(path)].insert(text);
}

void WatchedFiles::WriteTextAtomically(const std::string& path, const std::string& text) {
  const bool sites = NameIn(path) == "servers.lst";
  try {
    inner_.WriteTextAtomically(path, text);
  } catch (...) {
    if (sites) ++run_.figures.saveFailures;
    throw;
  }
  saved[NameIn(path)] = text;
  everWritten[NameIn(path)].insert(text);
  if (!sites) return;
  ++run_.figures.sitesSaved;
  listSaved = true;
  listAtSave = Listed(run_.session.LatestRun()->State().Sites.Entries());
}

Invariants::Invariants(SoakRun& run)
    : run_(run), files_(run.Desktop().files, run), storeOnDisk_(run.Desktop().settings.File()) {
  run_.Desktop().settings.onSaved = [this](const std::string&, const std::string&,
                                           const std::string&) { settingsChanged_ = true; };
}

void Invariants::Check() {
  sim::SimDesktop& d = run_.Desktop();
  Application* app = run_.session.App();
  CheckTray(app);
  if (d.browsers.escapedFailures != 0) run_.Broken("a failure escaped a handler of Velmox");

  std::vector<long> windows, failing;
  for (const auto& window : d.browsers.Windows()) {
    windows.push_back(window->Cookie());
    if (window->Scope()->failure) failing.push_back(window->Cookie());
  }
  const bool windowsChanged = windows != windows_;
  if (failing != failing_) slotsStale_ = true;
  windows_ = std::move(windows);
  failing_ = std::move(failing);
  if (app != nullptr) CheckSlots(*app, windowsChanged);

  if (app != nullptr) {
    const OptionRecord& o = app->State().OptionValues;
    if (o.LinkTarget != "_top" && o.LinkTarget != "_blank")
      run_.Broken("LinkTarget in memory is \"" + o.LinkTarget + "\"");
  }
  CheckSiteFile();
  CheckGeneratedFiles();
  if (settingsChanged_) CheckSettings();
}

// The tray shows the icon exactly while the main form is loaded (the dialog may outlive it);
// only the "No" to the browser connection error ends Velmox at once, leaving the icon.
void Invariants::CheckTray(Application* app) {
  sim::SimDesktop& d = run_.Desktop();
  const bool formLoaded = app != nullptr && app->MainForm() != nullptr;
  if (formLoaded != d.tray.Shown() && !(app == nullptr && d.process.endedNow)) {
    run_.Broken(formLoaded ? "Velmox runs without its tray icon" : "the tray icon outlived Velmox");
  }
  if (!formLoaded) return;
  const std::string tip = app->State().BlockingOn ? "Velmox (On)" : "Velmox (Off)";
  if (d.tray.Tip() != tip)
    run_.Broken("the tray tip is \"" + d.tray.Tip() + "\", not \"" + tip + "\"");
}

// The slots hold the first forty browser windows of the shell's collection, in its order.
void Invariants::CheckSlots(Application& app, bool windowsChanged) {
  Velmox* form = app.MainForm();
  BrowserTable* table = form != nullptr ? form->Browsers() : nullptr;
  if (table == nullptr || table->Ended()) return;
  if (!failing_.empty() || slotsStale_) {
    // Slots dealt while a window failed are right again after the next scan, which a window
    // opening or closing brings.
    if (failing_.empty() && windowsChanged) slotsStale_ = false;
    return;
  }
  int number = 1;
  for (const auto& window : run_.Desktop().browsers.Windows()) {
    if (number > BrowserTable::kSlotCount) break;
    if (window->name != BrowserWindow::kBrowserName) continue;
    if (table->Slot(number).get() != window.get())
      run_.Broken("slot IE" + std::to_string(number) + " does not hold " + window->Label());
    ++number;
  }
  for (; number <= BrowserTable::kSlotCount; ++number) {
    if (table->Slot(number) != nullptr)
      run_.Broken("slot IE" + std::to_string(number) + " holds a window past the browser windows");
  }
}

void Invariants::CheckSiteFile() {
  const auto real = run_.Desktop().Folders().appDir / "servers.lst";
  bool present = false;
  const std::string disk = ReadWhole(real, present);
  if (!present) run_.Broken("servers.lst is gone");
  if (std::filesystem::exists(real.string() + ".new"))
    run_.Broken("servers.lst.new was left behind");
  if (!files_.listSaved) return;
  if (disk != files_.saved["servers.lst"]) run_.Broken("servers.lst is not what was last saved");
  if (Listed(ReadSitesText(disk)) != files_.listAtSave)
    run_.Broken("servers.lst does not read back as the list last saved");
}

// Every script and command page on disk is a text Velmox wrote whole; nothing half-written or
// left over from a write is there.
void Invariants::CheckGeneratedFiles() {
  for (const auto& entry : std::filesystem::directory_iterator(run_.Desktop().Folders().appDir)) {
    if (!entry.is_regular_file()) continue;
    std::string name = entry.path().filename().string();
    if (name == "servers.lst") continue;
    if (name.ends_with(".new")) run_.Broken(name + " was left behind");
    bool present = false;
    const std::string disk = ReadWhole(entry.path(), present);
    // A script renamed between its active and inactive name keeps its text; one written for an
    // earlier token stays as it was.
    if (name.ends_with(".script2")) name.pop_back();
    if (files_.everWritten[name].count(disk) == 0)
      run_.Broken(name + " holds \"" + disk + "\", no text Velmox wrote whole");
  }
}

// The store holds only values Velmox can read back.
void Invariants::CheckSettings() {
  settingsChanged_ = false;
  const std::string missing = "\x01";
  for (const char* key :
       {"AutoLoad", "AutoClose", "AddressBar", "FullScreen", "MenuBar", "StatusBar", "TheaterMode",
        "ToolBar", "IgnoreLocal", "BlockByDefault", "BlinkLightBulb", "PlayASound"}) {
    const std::string value = storeOnDisk_.GetSetting(kProductName, "Options", key, missing);
    if (value != missing && value != "True" && value != "False")
      run_.Broken(std::string("the store holds ") + key + "=" + value);
  }
  const std::string target =
      storeOnDisk_.GetSetting(kProductName, "Options", "LinkTarget", missing);
  if (target != missing && target != "_top" && target != "_blank")
    run_.Broken("the store holds LinkTarget=" + target);
  const std::string token = storeOnDisk_.GetSetting(kProductName, "Data", "URLPrefix", missing);
  if (token != missing &&
      (token.size() != 10 || token.find_first_not_of("0123456789") != std::string::npos))
    run_.Broken("the store holds URLPrefix=" + token);
}

// What Velmox has done about pop-ups so far this run.
Invariants::PopupMark Invariants::Counts() {
  Application* app = run_.session.App();
  Velmox* form = app != nullptr ? app->MainForm() : nullptr;
  if (form == nullptr) return {};
  const PageSinks* sinks = form->PageSink();
  return {0, form, form->AlertCount(), sinks != nullptr ? sinks->AnalysisFailures() : 0};
}

Invariants::PopupMark Invariants::BeforePopup() {
  sim::SimDesktop& d = run_.Desktop();
  d.browsers.newWindows.clear();
  PopupMark mark = Counts();
  mark.traceLines = d.trace.Lines().size();
  return mark;
}

// Let through or opened for the user (one new window, or the opener navigated), blocked with one
// alert, or the analysis failed and the failure rule decided (quiet within 3 s of the run's first
// failure, one alert after).
void Invariants::AfterPopup(PopupMark before) {
  sim::SimDesktop& d = run_.Desktop();
  const PopupMark after = Counts();
  // Velmox ended or started meanwhile: what it did is counted from nothing.
  if (after.form != before.form) before = {before.traceLines, after.form};
  const int alerts = after.alerts - before.alerts;
  const int failures = after.failures - before.failures;

  bool asked = false;
  int openerNavigations = 0;
  const auto& lines = d.trace.Lines();
  for (std::size_t i = before.traceLines; i < lines.size(); ++i) {
    if (lines[i].find(" asks for a new window for ") != std::string::npos) asked = true;
    const auto at = lines[i].find(": Velmox navigates to ");
    if (at == std::string::npos) continue;
    const auto begin = lines[i].rfind(' ', at);
    const std::string label = lines[i].substr(begin + 1, at - begin - 1);
    bool created = false;
    for (const auto& window : d.browsers.newWindows)
      created = created || window->Label() == label;
    if (!created) ++openerNavigations;
  }
  const int opened = static_cast<int>(d.browsers.newWindows.size()) + openerNavigations;
  d.browsers.newWindows.clear();
  const std::string counts = std::to_string(opened) + " windows opened, " + std::to_string(alerts) +
                             " alerts, " + std::to_string(failures) + " analysis failures";
  SoakFigures& f = run_.figures;
  if (failures > 1) run_.Broken("one pop-up gave " + counts);
  if (failures == 1) {
    const float now = static_cast<float>(d.clock.SecondsSinceMidnight());
    const bool late = std::fabs(run_.session.App()->State().ErrorTime - now) > 3;
    if (opened != 0 || alerts != (late ? 1 : 0))
      run_.Broken(std::string("a failed analysis ") + (late ? "past" : "within") +
                  " 3 s of the first gave " + counts);
    ++(late ? f.failuresAlerted : f.failuresQuiet);
  } else if (opened + alerts != (asked ? 1 : 0)) {
    run_.Broken(std::string("a ") + (asked ? "pop-up" : "click that asked for no window") +
                " gave " + counts);
  }
  if (!asked) return;
  ++f.popups;
  if (failures == 0 && alerts == 1) ++f.popupsBlocked;
  if (opened == 1) ++f.popupsOpened;
}

}  // namespace velmox::soak
