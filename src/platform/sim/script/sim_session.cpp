#include "platform/sim/script/sim_session.h"

namespace velmox::sim {

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

}  // namespace velmox::sim
