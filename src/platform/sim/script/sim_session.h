#pragma once

#include <functional>
#include <memory>

#include "app/application.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_process_end.h"
#include "platform/sim/sim_single_instance.h"

namespace velmox::sim {

// Velmox runs on one simulated desktop, one run after another: the desktop (files, settings,
// clock, browser) stays, each start is a new process on it.
class SimSession {
 public:
  explicit SimSession(const SimFolders& folders) : desktop(folders) {}

  SimDesktop desktop;
  // The services Velmox runs on when set (a run with some of them decorated); by default the
  // desktop's own table.
  Desktop* table = nullptr;
  // A desktop whose browser is not the simulated one sets these: its event loop after each
  // event, and its end of Velmox's event connections when a run ends.
  std::function<void()> settleBrowser;
  std::function<void()> disconnectBrowser;

  // Starts Velmox. While a run is going on, the new process is a second instance.
  void Start();
  // The current run while it goes on, else null.
  Application* App() { return Running() ? app_.get() : nullptr; }
  // The latest run, also after it has ended (null before the first start).
  Application* LatestRun() { return app_.get(); }
  bool Running() const;
  // Runs one event of Velmox's, then lets the browser deliver what it posted meanwhile; a run
  // that ends at once inside it is noticed.
  template <class Event>
  void Deliver(Event&& event);
  // Notices a run that has ended, so that the next start is a first instance again.
  void AfterEvent();

 private:
  std::unique_ptr<Application> app_;
  std::unique_ptr<SimSingleInstance> instance_;
  bool endedAtOnce_ = false;
  bool endNoticed_ = true;
};

template <class Event>
void SimSession::Deliver(Event&& event) {
  try {
    event();
    desktop.browsers.Settle();
    if (settleBrowser) settleBrowser();
  } catch (const ProcessEnded&) {
    endedAtOnce_ = true;
  }
  AfterEvent();
}

}  // namespace velmox::sim
