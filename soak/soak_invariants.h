#pragma once

#include <cstddef>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/files.h"
#include "core/site_entry.h"
#include "platform/sim/sim_settings_store.h"
#include "soak_run.h"

namespace velmox::soak {

// The files Velmox writes, seen on their way to disk: what was last saved of each, and the site
// list in memory at the moment servers.lst was saved.
class WatchedFiles : public Files {
 public:
  WatchedFiles(sim::SimFiles& inner, SoakRun& run) : inner_(inner), run_(run) {}

  std::map<std::string, std::string> saved;  // by name in the application folder
  // Every text written whole to each file (a new token gives new scripts).
  std::map<std::string, std::set<std::string>> everWritten;
  std::vector<SiteEntry> listAtSave;
  bool listSaved = false;

  void Rename(const std::string& from, const std::string& to) override { inner_.Rename(from, to); }
  std::int64_t FileLength(const std::string& path) override { return inner_.FileLength(path); }
  std::string ReadText(const std::string& path) override { return inner_.ReadText(path); }
  void WriteText(const std::string& path, const std::string& text) override;
  void WriteTextAtomically(const std::string& path, const std::string& text) override;
  void ReportKept(const std::string& message) override { inner_.ReportKept(message); }

 private:
  sim::SimFiles& inner_;
  SoakRun& run_;
};

// What must hold after every event. Each check reads the desktop and Velmox as they are, so
// nothing else in the soak needs to tell it what happened.
class Invariants {
 public:
  explicit Invariants(SoakRun& run);

  // The files Velmox is to write through.
  Files& Watched() { return files_; }
  void Check();

  // A pop-up, or a click that may ask for a new window, has exactly one outcome when it asks for
  // one, and none otherwise: what it is checked against is marked before it.
  struct PopupMark {
    std::size_t traceLines = 0;
    const Velmox* form = nullptr;
    int alerts = 0;
    int failures = 0;
  };
  PopupMark BeforePopup();
  void AfterPopup(PopupMark before);

 private:
  PopupMark Counts();
  void CheckTray(Application* app);
  void CheckSlots(Application& app, bool windowsChanged);
  void CheckSiteFile();
  void CheckGeneratedFiles();
  void CheckSettings();

  SoakRun& run_;
  WatchedFiles files_;
  sim::SimSettingsStore storeOnDisk_;  // the settings file, read without the soak's faults
  bool settingsChanged_ = true;
  // The open windows and those failing every call (by their cookies), at the last check.
  std::vector<long> windows_;
  std::vector<long> failing_;
  bool slotsStale_ = false;
};

}  // namespace velmox::soak
