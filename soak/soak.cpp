#include "soak.h"

#include <sys/resource.h>

#include <chrono>
#include <fstream>

#include "app/application.h"
#include "soak_actions.h"
#include "soak_faults.h"
#include "soak_heap.h"
#include "soak_invariants.h"
#include "soak_run.h"

namespace velmox::soak {
namespace {

sim::SimFolders Folders(const std::filesystem::path& root) {
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

// The desktop's services, with the files Velmox writes watched on their way.
Desktop WatchedTable(sim::SimDesktop& desktop, Files& watched) {
  const Desktop& d = desktop.Table();
  return Desktop{d.settings,     watched,    d.timers,      d.tray,           d.sound,
                 d.messageBoxes, d.shell,    d.keyboard,    d.clock,          d.random,
                 d.process,      d.browsers, d.fileDialogs, d.settingsWindow, d.applicationFolder};
}

// What a long run keeps no longer: the desktop's journals, so that the heap measures Velmox.
void ForgetJournals(sim::SimDesktop& d) {
  d.trace.ForgetLines();
  d.writes.clear();
  d.sound.calls.clear();
  d.sound.played.clear();
  d.messageBoxes.shown.clear();
  d.shell.calls.clear();
  d.fileDialogs.shown.clear();
  d.browsers.newWindows.clear();
  d.browsers.sinkCatches.clear();
  d.browsers.lastNavigation.clear();
}

}  // namespace

SoakRun::SoakRun(const SoakOptions& options)
    : options(options), random(options.seed), session(Folders(options.folder)) {
  for (const char* site :
       {"http://ads.example.com/", "http://news.example.org/", "http://www.example.net/"}) {
    Desktop().browsers.MapPage(site, VELMOX_SOAK_PAGES);
  }
}

void SoakRun::Broken(const std::string& what) const {
  throw InvariantBroken{"event " + std::to_string(event) + " (seed " +
                        std::to_string(options.seed) + (options.faults ? ", faults" : "") +
                        "): " + what};
}

SoakFigures RunSoak(const SoakOptions& options, std::ostream& progress) {
  SoakRun run(options);
  Invariants invariants(run);
  Faults faults(run);
  Actions actions(run, faults, invariants);
  Desktop table = WatchedTable(run.Desktop(), invariants.Watched());
  run.session.table = &table;

  const auto begin = std::chrono::steady_clock::now();
  const std::uint64_t warmUp = options.events / 4;
  bool dialogWasOpen = false;
  for (run.event = 1; run.event <= options.events; ++run.event) {
    try {
      actions.PlayOne();
    } catch (const InvariantBroken&) {
      throw;
    } catch (const std::exception& e) {
      run.Broken(std::string("an exception escaped Velmox: ") + e.what());
    }
    Application* app = run.session.App();
    const bool dialogOpen = app != nullptr && app->Settings().IsLoaded();
    if (dialogOpen && !dialogWasOpen) ++run.figures.dialogsOpened;
    dialogWasOpen = dialogOpen;
    invariants.Check();
    if (run.event % 1000 == 0) ForgetJournals(run.Desktop());
    if (run.event == warmUp) run.figures.heapAfterWarmUp = LiveHeapBytes();
    if (run.event % 100000 == 0 && run.event < options.events)
      progress << "soak: " << run.event << " events\n" << std::flush;
  }
  ForgetJournals(run.Desktop());
  SoakFigures& figures = run.figures;
  figures.events = options.events;
  figures.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
  figures.heapAtEnd = LiveHeapBytes();
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  figures.peakRssKb = static_cast<std::size_t>(usage.ru_maxrss);
  return figures;
}

}  // namespace velmox::soak
