#include "soak_faults.h"

namespace velmox::soak {

Faults::Faults(SoakRun& run) : run_(run) {
  if (!On()) return;
  sim::SimDesktop& d = run_.Desktop();
  // Only the steps of a change fail; reading stays reliable.
  d.files.failStep = [this](std::string_view step, const std::string&) {
    return step != "read" && Fault(0.05);
  };
  d.settings.failCall = [this](std::string_view, const std::string&) { return Fault(0.02); };
}

bool Faults::Fault(double p) {
  if (!On() || !run_.random.Chance(p)) return false;
  ++run_.figures.faultsInjected;
  return true;
}

void Faults::FailOrRecoverWindows(sim::SimWindow& window) {
  sim::SimBrowsers& browsers = run_.Desktop().browsers;
  if (run_.random.Chance(0.5)) {
    browsers.FailWindow(window, sim::Disconnected());
    return;
  }
  for (const auto& each : browsers.Windows())
    browsers.FailWindow(*each, std::nullopt);
}

}  // namespace velmox::soak
