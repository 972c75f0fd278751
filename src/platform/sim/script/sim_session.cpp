#include "platform/sim/script/sim_session.h"

#include <utility>

namespace velmox::sim {

class SimSession::StarterLauncher : public VelmoxLauncher {
 public:
  explicit StarterLauncher(SimSession& session) : session_(session) {}
  void StartVelmox() override { session_.velmoxAsked_ = true; }

 private:
  SimSession& session_;
};

SimSession::SimSession(const SimFolders& folders)
    : desktop(folders), launcher_(std::make_unique<StarterLauncher>(*this)) {}

SimSession::~SimSession() = default;

bool SimSession::Running() const {
  return app_ && !endedAtOnce_ && !app_->Ended();
}

void SimSession::Start() {
  if (Running()) {
    Application second(table != nullptr ? *table : desktop.Table());
    SimSingleInstance secondInstance(desktop.Folders().profile / "velmox.lock");
    second.Main(secondInstance);
    if (!secondInstance.Problem().empty()) desktop.trace.Line("velmox", secondInstance.Problem());
    desktop.trace.Line("velmox", second.Ended() ? "a second instance ends at once"
                                                : "a second instance keeps running");
    return;
  }
  app_.reset();
  instance_.reset();
  endedAtOnce_ = false;
  endNoticed_ = false;
  desktop.trace.Line("velmox", "starts");
  app_ = std::make_unique<Application>(table != nullptr ? *table : desktop.Table());
  instance_ = std::make_unique<SimSingleInstance>(desktop.Folders().profile / "velmox.lock");
  Deliver([&] { app_->Main(*instance_); });
}

void SimSession::AfterEvent() {
  if (endNoticed_ || !app_ || Running()) return;
  endNoticed_ = true;
  if (instance_ && !instance_->Problem().empty())
    desktop.trace.Line("velmox", instance_->Problem());
  instance_.reset();  // the process is gone, and its lock and event connections with it
  desktop.browsers.DisconnectAll();
  if (disconnectBrowser) disconnectBrowser();
  desktop.trace.Line("velmox", "has ended");
}

void SimSession::StartStarter() {
  if (starter_) {
    desktop.trace.Line("starter", "a second starter ends at once");
    return;
  }
  desktop.trace.Line("starter", "starts");
  StarterServices services{
      [this] { return desktop.browsers.CreateShellWindowsFor("starter"); }, desktop.settings,
      desktop.clock, *launcher_,
      [this](const std::string& line) { desktop.trace.Line("starter", line); }};
  starter_ = std::make_unique<Starter>(std::move(services));
  starter_->Begin();
}

void SimSession::StopStarter() {
  if (!starter_) return;
  starter_.reset();
  desktop.trace.Line("starter", "has ended");
}

// Velmox starts as a process of its own, after the event in which the starter asked for it.
void SimSession::StartWhatTheStarterAsked() {
  if (std::exchange(velmoxAsked_, false)) Start();
}

}  // namespace velmox::sim
