// The whole new-window decision, from the Ctrl sample to the capture, with a large site list.
#include <benchmark/benchmark.h>

#include <string>

#include "engine/new_window_decision.h"
#include "platform/sim/sim_desktop.h"
#include "support/temp_folder.h"

namespace velmox {
namespace {

constexpr int kSites = 100000;

std::string HostOf(int i) {
  return "site" + std::to_string(i) + ".example";
}

// range(0): the opener's site: 0 first in the list, 1 last in the list, 2 not listed.
void BM_OpenWindow(benchmark::State& bench) {
  AppState state;
  state.BlockingOn = true;
  state.OptionValues.BlockByDefault = true;
  std::vector<SiteEntry> entries;
  entries.reserve(kSites);
  for (int i = 0; i < kSites; ++i)
    entries.push_back({HostOf(i), true});
  state.Sites.ReplaceAll(std::move(entries));

  test::SimFolderSet folders;
  sim::SimDesktop desktop{folders.folders};
  PageSinks sinks(state, desktop.clock, desktop.browsers, [] {});
  const int where = static_cast<int>(bench.range(0));
  const std::string host = where == 0   ? HostOf(0)
                           : where == 1 ? HostOf(kSites - 1)
                                        : "unlisted.example";
  desktop.browsers.Open("opener", "http://www." + host + "/index.html", {});
  const std::shared_ptr<BrowserWindow> opener = desktop.browsers.Windows().back();

  for (auto _ : bench) {
    std::shared_ptr<Dispatch> ppDisp;
    auto result = OpenWindow(state, desktop.keyboard, sinks, opener, ppDisp);
    benchmark::DoNotOptimize(result);
  }
  bench.SetLabel(where == 0   ? "site first of 100000"
                 : where == 1 ? "site last of 100000"
                              : "site not listed");
}
BENCHMARK(BM_OpenWindow)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace velmox
