#pragma once

#include <memory>

#include "browser/automation.h"
#include "platform/sim/sim_trace.h"

namespace velmox::sim {

// The simulated browser. (First version: a desktop with no browser windows open.)
class SimBrowsers : public BrowserAutomation {
 public:
  explicit SimBrowsers(Trace& trace) : trace_(trace) {}

  std::unique_ptr<ShellWindows> CreateShellWindows() override;
  std::shared_ptr<BrowserWindow> CreateInternetExplorer() override;
  std::unique_ptr<PageSinkControl> CreatePageSink(int index) override;

 private:
  Trace& trace_;
};

}  // namespace velmox::sim
