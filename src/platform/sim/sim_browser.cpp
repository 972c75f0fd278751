#include "platform/sim/sim_browser.h"

#include "platform/platform_error.h"

namespace velmox::sim {
namespace {

class NoConnection : public Connection {};

class EmptyEnumerator : public WindowEnumerator {
 public:
  std::shared_ptr<BrowserWindow> Next() override { return nullptr; }
};

class EmptyShellWindows : public ShellWindows {
 public:
  std::unique_ptr<WindowEnumerator> Enumerate() override {
    return std::make_unique<EmptyEnumerator>();
  }
  std::unique_ptr<Connection> Connect(ShellWindowsEvents&) override {
    return std::make_unique<NoConnection>();
  }
};

}  // namespace

std::unique_ptr<ShellWindows> SimBrowsers::CreateShellWindows() {
  return std::make_unique<EmptyShellWindows>();
}

std::shared_ptr<BrowserWindow> SimBrowsers::CreateInternetExplorer() {
  throw PlatformError(429, "ActiveX component can't create object");
}

std::unique_ptr<PageSinkControl> SimBrowsers::CreatePageSink(int) {
  throw PlatformError(429, "ActiveX component can't create object");
}

}  // namespace velmox::sim
