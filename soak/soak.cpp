#include "soak.h"

#include <sys/resource.h>

#include <array>
#include <chrono>
#include <cmath>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>

#include "core/platform_error.h"
#include "engine/page_sinks.h"
#include "platform/sim/script/sim_session.h"
#include "platform/sim/sim_html.h"
#include "settings/boolean_text.h"
#include "settings/load_options.h"
#include "sites/site_file.h"
#include "soak_heap.h"

namespace velmox::soak {
namespace {

using sim::SimSession;

class Random {
 public:
  explicit Random(std::uint64_t seed) : engine_(seed) {}
  std::uint64_t Below(std::uint64_t n) {
    return std::uniform_int_distribution<std::uint64_t>(0, n - 1)(engine_);
  }
  bool Chance(double p) { return std::bernoulli_distribution(p)(engine_); }
  template <class T, std::size_t N>
  const T& Pick(const std::array<T, N>& items) {
    return items[Below(N)];
  }

 private:
  std::mt19937_64 engine_;
};

std::string ReadWhole(const std::filesystem::path& path, bool& present) {
  std::ifstream in(path, std::ios::binary);
  present = static_cast<bool>(in);
  std::ostringstream text;
  if (present) text << in.rdbuf();
  return text.str();
}

std::vector<SiteEntry> Listed(const std::vector<SiteEntry>& entries) {
  std::vector<SiteEntry> listed;
  for (const SiteEntry& entry : entries) {
    if (!entry.Host.empty() && IsRecordableHost(entry.Host)) listed.push_back(entry);
  }
  return listed;
}

// The files Velmox writes, seen on their way to disk: what was last saved of each, and the site
// list in memory at the moment servers.lst was saved.
class WatchedFiles : public Files {
 public:
  WatchedFiles(sim::SimFiles& inner, SimSession& session) : inner_(inner), session_(session) {}

  std::map<std::string, std::string> saved;  // by name in the application folder
  // Every text written whole to each file (a new token gives new scripts).
  std::map<std::string, std::set<std::string>> everWritten;
  std::vector<SiteEntry> listAtSave;
  bool listSaved = false;
  std::uint64_t siteSaves = 0;
  std::uint64_t siteSaveFailures = 0;

  void Rename(const std::string& from, const std::string& to) override { inner_.Rename(from, to); }
  std::int64_t FileLength(const std::string& path) override { return inner_.FileLength(path); }
  std::string ReadText(const std::string& path) override { return inner_.ReadText(path); }
  void WriteText(const std::string& path, const std::string& text) override {
    inner_.WriteText(path, text);
    saved[Name(path)] = text;
    everWritten[Name(path)].insert(text);
  }
  void WriteTextAtomically(const std::string& path, const std::string& text) override {
    const bool sites = Name(path) == "servers.lst";
    try {
      inner_.WriteTextAtomically(path, text);
    } catch (...) {
      if (sites) ++siteSaveFailures;
      throw;
    }
    saved[Name(path)] = text;
    everWritten[Name(path)].insert(text);
    if (!sites) return;
    ++siteSaves;
    listSaved = true;
    listAtSave = Listed(session_.LatestRun()->State().Sites.Entries());
  }

 private:
  static std::string Name(const std::string& path) { return path.substr(path.rfind('\\') + 1); }

  sim::SimFiles& inner_;
  SimSession& session_;
};

// The settings store with reads and saves that fail at random.
class FailingSettings : public SettingsStore {
 public:
  FailingSettings(SettingsStore& inner, std::function<bool()> fail)
      : inner_(inner), fail_(std::move(fail)) {}
  std::string GetSetting(const std::string& appName, const std::string& section,
                         const std::string& key, const std::string& defaultValue) override {
    if (fail_()) throw PlatformError(74, "The settings store could not be read");
    return inner_.GetSetting(appName, section, key, defaultValue);
  }
  void SaveSetting(const std::string& appName, const std::string& section, const std::string& key,
                   const std::string& value) override {
    if (fail_()) throw PlatformError(74, "The settings store could not be written");
    inner_.SaveSetting(appName, section, key, value);
  }

 private:
  SettingsStore& inner_;
  std::function<bool()> fail_;
};

constexpr std::array<const char*, 22> kClickable = {
    "XRun",         "XClose",           "XBlink",           "XPlaySound",
    "PlaySound",    "BrowseSound",      "XIgnoreLocal",     "XTargetTop",
    "XTargetBlank", "XBlockByDefault1", "XBlockByDefault2", "XTheaterMode",
    "XFullScreen",  "XStatusBar",       "XToolBar",         "XMenuBar",
    "CmdDelete",    "CmdAllow",         "CmdDisallow",      "cmdOK",
    "cmdCancel",    "cmdApply"};
constexpr std::array<const char*, 4> kSounds = {"C:\\Program Files\\Velmox\\sounds\\cork.wav",
                                                "C:\\Program Files\\Velmox\\sounds\\none.wav", "",
                                                "C:\\elsewhere\\ring.wav"};

constexpr std::array<const char*, 5> kAddresses = {
    "http://ads.example.com/ads.html", "http://news.example.org/ads.html",
    "http://www.example.net/ads.html", "http://ads.example.com/story.html", "about:blank"};
constexpr std::array<const char*, 5> kTargets = {"#story", "#offer", "#go", "#send", "#stray"};

class Soak {
 public:
  explicit Soak(const SoakOptions& options)
      : options_(options),
        random_(options.seed),
        session_(Folders(options.folder)),
        files_(session_.desktop.files, session_),
        settings_(session_.desktop.settings, [this] { return Fault(0.02); }),
        table_(Table()) {
    session_.table = &table_;
    sim::SimDesktop& d = session_.desktop;
    if (options.faults) {
      d.files.failStep = [this](std::string_view step, const std::string&) {
        return step != "read" && Fault(0.05);
      };
    }
    d.settings.onSaved = [this](const std::string&, const std::string&, const std::string&) {
      settingsChanged_ = true;
    };
    for (const char* site :
         {"http://ads.example.com/", "http://news.example.org/", "http://www.example.net/"}) {
      d.browsers.MapPage(site, VELMOX_SOAK_PAGES);
    }
    d.tray.answerMenu = [this](const PopupMenuModel& menu) {
      Nested();
      if (random_.Chance(0.15)) return -1;
      static constexpr std::array<int, 4> kItems = {0, 1, 1, 3};
      const int item = random_.Pick(kItems);
      return item < static_cast<int>(menu.items.size()) ? item : -1;
    };
    d.messageBoxes.answer = [this](const sim::MessageBoxCall& box) {
      Nested();
      switch (box.style & 7) {
        case 4:  // Yes, No
          return random_.Chance(0.9) ? 6 : 7;
        case 1:  // OK, Cancel
          return random_.Chance(0.5) ? 1 : 2;
        default:
          return 1;
      }
    };
    d.fileDialogs.answer = [this](const FileOpenRequest&) -> std::optional<FileOpenChoice> {
      Nested();
      if (random_.Chance(0.3)) return std::nullopt;
      const std::string name = random_.Pick(kSounds);
      return FileOpenChoice{name, name.substr(name.rfind('\\') + 1)};
    };
  }

  SoakFigures Run(std::ostream& progress) {
    const auto begin = std::chrono::steady_clock::now();
    const std::uint64_t warmUp = options_.events / 4;
    for (event_ = 1; event_ <= options_.events; ++event_) {
      try {
        PlayOne();
      } catch (const InvariantBroken&) {
        throw;
      } catch (const std::exception& e) {
        Broken(std::string("an exception escaped Velmox: ") + e.what());
      }
      Check();
      if (event_ % 1000 == 0) ForgetJournals();
      if (event_ == warmUp) figures_.heapAfterWarmUp = LiveHeapBytes();
      if (event_ % 100000 == 0 && event_ < options_.events)
        progress << "soak: " << event_ << " events\n" << std::flush;
    }
    ForgetJournals();
    figures_.events = options_.events;
    figures_.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    figures_.heapAtEnd = LiveHeapBytes();
    figures_.sitesSaved = files_.siteSaves;
    figures_.saveFailures = files_.siteSaveFailures;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    figures_.peakRssKb = static_cast<std::size_t>(usage.ru_maxrss);
    return figures_;
  }

 private:
  static sim::SimFolders Folders(const std::filesystem::path& root) {
    std::filesystem::remove_all(root);
    sim::SimFolders folders;
    folders.appDir = root / "app";
    folders.profile = root / "profile";
    std::filesystem::create_directories(folders.appDir / "sounds");
    std::filesystem::create_directories(folders.profile);
    std::ofstream(folders.appDir / "sounds" / "cork.wav", std::ios::binary) << "RIFF....WAVE";
    std::ofstream(folders.appDir / "servers.lst", std::ios::binary)
        << "\"ads.example.com\",#TRUE#\r\n\"news.example.org\",#FALSE#\r\n";
    return folders;
  }

  Desktop Table() {
    const Desktop& d = session_.desktop.Table();
    return Desktop{options_.faults ? static_cast<SettingsStore&>(settings_) : d.settings,
                   files_,
                   d.timers,
                   d.tray,
                   d.sound,
                   d.messageBoxes,
                   d.shell,
                   d.keyboard,
                   d.clock,
                   d.random,
                   d.process,
                   d.browsers,
                   d.fileDialogs,
                   d.settingsWindow,
                   d.applicationFolder};
  }

  bool Fault(double p) {
    if (!options_.faults || !random_.Chance(p)) return false;
    ++figures_.faultsInjected;
    return true;
  }

  // Inside a modal window the message loop goes on: timers may tick before the answer.
  void Nested() {
    if (random_.Chance(0.2)) session_.desktop.clock.Advance(static_cast<long>(random_.Below(4000)));
  }

  void PlayOne() {
    if (random_.Chance(0.4)) return PlayInBrowser();
    if (!session_.Running()) {
      if (random_.Chance(0.05)) return RemoveGeneratedFile();
      if (random_.Chance(0.8)) {
        ++figures_.runs;
        session_.desktop.process.endedNow = false;
        session_.Start();
      } else {
        Wait();
      }
      return;
    }
    Application& app = *session_.App();
    if (frmOptions* dialog = app.Settings().Current()) {
      if (random_.Chance(0.85)) return PlayInDialog(*dialog);
    }
    switch (random_.Below(10)) {
      case 0:
      case 1:
        return Tray({513, 514, 515, 514});  // double-click: on or off
      case 2:
      case 3:
      case 4:
        return Tray({516, 517});  // right-click: the menu
      case 5:
        return Tray({513, 514});
      case 6:
        if (random_.Chance(0.05)) return session_.Start();  // a second instance
        return Wait();
      default:
        return Wait();
    }
  }

  // What a person and the pages do in the browser, Velmox running or not.
  void PlayInBrowser() {
    sim::SimBrowsers& b = session_.desktop.browsers;
    const auto& windows = b.Windows();
    const std::uint64_t what = random_.Below(20);
    if (windows.empty() || (what < 3 && windows.size() < 50)) {
      sim::SimBrowsers::OpenOptions options;
      if (random_.Chance(0.1)) options.name = "Windows Explorer";  // a folder window
      const std::string label = "w" + std::to_string(++windowsOpened_);
      windowsChanged_ = true;
      return session_.Deliver([&] { b.Open(label, random_.Pick(kAddresses), options); });
    }
    sim::SimWindow& window = *windows[random_.Below(windows.size())];
    const sim::Place place{&window, nullptr};
    if (what < 6) {
      windowsChanged_ = true;
      return session_.Deliver([&] { b.Close(window); });
    }
    if (what < 8) {
      sim::NavigationRequest request;
      request.address = random_.Pick(kAddresses);
      return session_.Deliver([&] { b.Navigate(place, request); });
    }
    if (what < 12) return Popup([&] { b.ScriptOpens(place, random_.Pick(kAddresses), ""); });
    if (what < 15) {
      sim::SimDocument* document = place.Document();
      if (document == nullptr) return;
      sim::HtmlNode* element = sim::QuerySelector(document->Root(), random_.Pick(kTargets));
      if (element == nullptr) return;
      return Popup([&] { b.Click(place, *element); });
    }
    if (what < 16) {
      session_.desktop.keyboard.SetCtrl(random_.Chance(0.3));
      return;
    }
    if (what < 18) return session_.Deliver([&] { b.ContextMenu(place, random_.Chance(0.5)); });
    // Failing automation calls: a window that is closing, or an enumeration that breaks.
    if (what < 19 && options_.faults) {
      failing_ = random_.Chance(0.5);
      if (failing_) {
        b.FailWindow(window, PlatformError(-2147417848, "The object invoked has disconnected"));
      } else {
        for (const auto& each : windows)
          b.FailWindow(*each, std::nullopt);
      }
      slotsStale_ = true;
      return;
    }
    return Wait();
  }

  // What Velmox has done about pop-ups so far this run.
  struct PopupCounts {
    const Velmox* form = nullptr;
    int alerts = 0;
    int failures = 0;
  };
  PopupCounts Counts() {
    Application* app = session_.App();
    Velmox* form = app != nullptr ? app->MainForm() : nullptr;
    if (form == nullptr) return {};
    const PageSinks* sinks = form->PageSink();
    return {form, form->AlertCount(), sinks != nullptr ? sinks->AnalysisFailures() : 0};
  }

  // A pop-up or a click that may ask for a new window has exactly one outcome when it asks for
  // one, and none otherwise: let through or opened for the user (one new window, or the opener
  // navigated), blocked with one alert, or the analysis failed and the failure rule decided
  // (quiet within 3 s of the run's first failure, one alert after).
  template <class Action>
  void Popup(Action&& action) {
    sim::SimDesktop& d = session_.desktop;
    d.browsers.newWindows.clear();
    const std::size_t lineBefore = d.trace.Lines().size();
    PopupCounts before = Counts();
    session_.Deliver(std::forward<Action>(action));
    const PopupCounts after = Counts();
    // Velmox ended or started meanwhile: what it did is counted from nothing.
    if (after.form != before.form) before = {after.form};
    const int alerts = after.alerts - before.alerts;
    const int failures = after.failures - before.failures;

    bool asked = false;
    int openerNavigations = 0;
    const auto& lines = d.trace.Lines();
    for (std::size_t i = lineBefore; i < lines.size(); ++i) {
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
    const std::string counts = std::to_string(opened) + " windows opened, " +
                               std::to_string(alerts) + " alerts, " + std::to_string(failures) +
                               " analysis failures";
    if (failures > 1) Broken("one pop-up gave " + counts);
    if (failures == 1) {
      const float now = static_cast<float>(d.clock.SecondsSinceMidnight());
      const bool late = std::fabs(session_.App()->State().ErrorTime - now) > 3;
      if (opened != 0 || alerts != (late ? 1 : 0))
        Broken(std::string("a failed analysis ") + (late ? "past" : "within") +
               " 3 s of the first gave " + counts);
      ++(late ? figures_.failuresAlerted : figures_.failuresQuiet);
    } else if (opened + alerts != (asked ? 1 : 0)) {
      Broken(std::string("a ") + (asked ? "pop-up" : "click that asked for no window") + " gave " +
             counts);
    }
    if (!asked) return;
    ++figures_.popups;
    if (failures == 0 && alerts == 1) ++figures_.popupsBlocked;
    if (opened == 1) ++figures_.popupsOpened;
  }

  // The slots hold the first forty browser windows of the shell's collection, in its order.
  void CheckSlots(Application& app) {
    Velmox* form = app.MainForm();
    BrowserTable* table = form != nullptr ? form->Browsers() : nullptr;
    if (table == nullptr || table->Ended()) return;
    if (failing_ || slotsStale_) {
      // Slots dealt while a window failed are right again after the next scan.
      if (!failing_ && windowsChanged_) slotsStale_ = false;
      return;
    }
    int number = 1;
    for (const auto& window : session_.desktop.browsers.Windows()) {
      if (number > BrowserTable::kSlotCount) break;
      if (window->name != BrowserWindow::kBrowserName) continue;
      if (table->Slot(number).get() != window.get())
        Broken("slot IE" + std::to_string(number) + " does not hold " + window->Label());
      ++number;
    }
    for (; number <= BrowserTable::kSlotCount; ++number) {
      if (table->Slot(number) != nullptr)
        Broken("slot IE" + std::to_string(number) + " holds a window past the browser windows");
    }
  }

  // The user tidies the application folder while Velmox is closed: the next start writes the
  // file again.
  void RemoveGeneratedFile() {
    std::vector<std::filesystem::path> generated;
    for (const auto& entry :
         std::filesystem::directory_iterator(session_.desktop.Folders().appDir)) {
      const std::string name = entry.path().filename().string();
      if (entry.is_regular_file() && name != "servers.lst") generated.push_back(entry.path());
    }
    if (!generated.empty()) std::filesystem::remove(generated[random_.Below(generated.size())]);
  }

  void Wait() {
    session_.Deliver(
        [&] { session_.desktop.clock.Advance(static_cast<long>(random_.Below(5000))); });
  }

  void Tray(std::initializer_list<std::uint32_t> messages) {
    for (std::uint32_t message : messages) {
      Application* app = session_.App();
      if (app == nullptr) return;
      session_.Deliver([&] { app->TrayCallback(message); });
    }
  }

  void PlayInDialog(frmOptions& dialog) {
    switch (random_.Below(12)) {
      case 0:
        return session_.Deliver([&] { dialog.SelectTab(1 + static_cast<int>(random_.Below(5))); });
      case 1:
        return session_.Deliver([&] {
          dialog.ChangeText("FileNameText", random_.Pick(kSounds));
          if (random_.Chance(0.5)) dialog.LeaveText("FileNameText");
        });
      case 2: {
        const std::size_t rows = dialog.controls.ListView1.rows.size();
        if (rows == 0) return Wait();
        return session_.Deliver(
            [&] { dialog.SelectRow(random_.Below(rows), random_.Chance(0.7)); });
      }
      case 3:
        return session_.Deliver([&] {
          static constexpr std::array<std::pair<int, int>, 4> kKeyPresses = {
              {{kKeyDelete, 0}, {kKeyTab, kShiftCtrl}, {kKeyF1, 0}, {kKeyTab, 3}}};
          const auto [key, shift] = random_.Pick(kKeyPresses);
          dialog.Form_KeyDown(key, shift);
        });
      case 4:
        if (random_.Chance(0.3)) return session_.Deliver([&] { dialog.CloseWindow(); });
        return Wait();
      case 5:
        return Tray({516, 517});  // the tray stays usable while the dialog is open
      default:
        return session_.Deliver([&] { dialog.Click(random_.Pick(kClickable)); });
    }
  }

  [[noreturn]] void Broken(const std::string& what) const {
    throw InvariantBroken{"event " + std::to_string(event_) + " (seed " +
                          std::to_string(options_.seed) + (options_.faults ? ", faults" : "") +
                          "): " + what};
  }

  void Check() {
    sim::SimDesktop& d = session_.desktop;
    Application* app = session_.App();
    const bool dialogOpen = app != nullptr && app->Settings().IsLoaded();
    if (dialogOpen && !dialogWasOpen_) ++figures_.dialogsOpened;
    dialogWasOpen_ = dialogOpen;
    // The tray shows the icon exactly while the main form is loaded (the dialog may outlive
    // it); only the "No" to the browser connection error ends Velmox at once, leaving the icon.
    const bool formLoaded = app != nullptr && app->MainForm() != nullptr;
    if (formLoaded != d.tray.Shown() && !(app == nullptr && d.process.endedNow)) {
      Broken(formLoaded ? "Velmox runs without its tray icon" : "the tray icon outlived Velmox");
    }
    if (app != nullptr && app->MainForm() != nullptr) {
      const std::string tip = app->State().BlockingOn ? "Velmox (On)" : "Velmox (Off)";
      if (d.tray.Tip() != tip)
        Broken("the tray tip is \"" + d.tray.Tip() + "\", not \"" + tip + "\"");
    }
    if (d.browsers.escapedFailures != 0) Broken("a failure escaped a handler of Velmox");
    if (app != nullptr) CheckSlots(*app);
    windowsChanged_ = false;
    if (app != nullptr) {
      const OptionRecord& o = app->State().OptionValues;
      if (o.LinkTarget != "_top" && o.LinkTarget != "_blank")
        Broken("LinkTarget in memory is \"" + o.LinkTarget + "\"");
    }
    CheckSiteFile();
    CheckGeneratedFiles();
    if (settingsChanged_) CheckSettings();
  }

  void CheckSiteFile() {
    const auto real = session_.desktop.Folders().appDir / "servers.lst";
    bool present = false;
    const std::string disk = ReadWhole(real, present);
    if (!present) Broken("servers.lst is gone");
    if (std::filesystem::exists(real.string() + ".new")) Broken("servers.lst.new was left behind");
    if (!files_.listSaved) return;
    if (disk != files_.saved["servers.lst"]) Broken("servers.lst is not what was last saved");
    if (Listed(ReadSitesText(disk)) != files_.listAtSave)
      Broken("servers.lst does not read back as the list last saved");
  }

  // Every script and command page on disk is a text Velmox wrote whole; nothing half-written
  // or left over from a write is there.
  void CheckGeneratedFiles() {
    for (const auto& entry :
         std::filesystem::directory_iterator(session_.desktop.Folders().appDir)) {
      if (!entry.is_regular_file()) continue;
      std::string name = entry.path().filename().string();
      if (name == "servers.lst") continue;
      if (name.ends_with(".new")) Broken(name + " was left behind");
      bool present = false;
      const std::string disk = ReadWhole(entry.path(), present);
      // A script renamed between its active and inactive name keeps its text; one written
      // for an earlier token stays as it was.
      if (name.ends_with(".script2")) name.pop_back();
      if (files_.everWritten[name].count(disk) == 0)
        Broken(name + " holds \"" + disk + "\", no text Velmox wrote whole");
    }
  }

  void CheckSettings() {
    settingsChanged_ = false;
    SettingsStore& store = session_.desktop.settings;
    const std::string missing = "\x01";
    for (const char* key : {"AutoLoad", "AutoClose", "AddressBar", "FullScreen", "MenuBar",
                            "StatusBar", "TheaterMode", "ToolBar", "IgnoreLocal", "BlockByDefault",
                            "BlinkLightBulb", "PlayASound"}) {
      const std::string value = store.GetSetting(kProductName, "Options", key, missing);
      if (value != missing && value != "True" && value != "False")
        Broken(std::string("the store holds ") + key + "=" + value);
    }
    const std::string target = store.GetSetting(kProductName, "Options", "LinkTarget", missing);
    if (target != missing && target != "_top" && target != "_blank")
      Broken("the store holds LinkTarget=" + target);
    const std::string token = store.GetSetting(kProductName, "Data", "URLPrefix", missing);
    if (token != missing &&
        (token.size() != 10 || token.find_first_not_of("0123456789") != std::string::npos))
      Broken("the store holds URLPrefix=" + token);
  }

  void ForgetJournals() {
    sim::SimDesktop& d = session_.desktop;
    d.trace.ForgetLines();
    d.writes.clear();
    d.sound.played.clear();
    d.messageBoxes.shown.clear();
    d.shell.calls.clear();
    d.fileDialogs.shown.clear();
    d.browsers.newWindows.clear();
    d.browsers.sinkCatches.clear();
    d.browsers.lastNavigation.clear();
  }

  SoakOptions options_;
  Random random_;
  SimSession session_;
  WatchedFiles files_;
  FailingSettings settings_;
  Desktop table_;
  SoakFigures figures_;
  std::uint64_t event_ = 0;
  bool settingsChanged_ = true;
  bool dialogWasOpen_ = false;
  std::uint64_t windowsOpened_ = 0;
  bool windowsChanged_ = false;
  bool failing_ = false;
  bool slotsStale_ = false;
};

}  // namespace

SoakFigures RunSoak(const SoakOptions& options, std::ostream& progress) {
  Soak soak(options);
  return soak.Run(progress);
}

}  // namespace velmox::soak
