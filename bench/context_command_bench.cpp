// Every navigation of every tracked window, frames included, passes through ContextCommand, so
// an ordinary address must cost about as little as one comparison of the folder prefix.
#include <benchmark/benchmark.h>

#include <string>
#include <string_view>

#include "platform/sim/sim_desktop.h"
#include "sites/context_command.h"
#include "support/temp_folder.h"

namespace velmox {
namespace {

const std::string kFolder = "C:\\Program Files\\Velmox";
const std::string kToken = "4820193756";

std::string AddressFor(int kind) {
  switch (kind) {
    case 0:
      return "http://www.example.com/news/index.html";
    case 1:
      return "http://www.example.com/search?q=" + std::string(2000 - 32, 'x');
    case 2:
      return kFolder + "\\help\\options.htm";
    default:
      return kFolder + "\\b" + kToken + ".html";
  }
}

const char* LabelFor(int kind) {
  const char* labels[] = {"ordinary, short", "ordinary, 2000 chars", "help page in the folder",
                          "command"};
  return labels[kind];
}

// The yardstick: one case-sensitive comparison of the folder prefix.
void BM_FolderPrefixComparison(benchmark::State& bench) {
  const std::string url = AddressFor(static_cast<int>(bench.range(0)));
  std::string_view folder = kFolder;
  for (auto _ : bench) {
    std::string_view address = url;
    benchmark::DoNotOptimize(address);
    benchmark::DoNotOptimize(folder);
    bool same = address.substr(0, folder.size()) == folder;
    benchmark::DoNotOptimize(same);
  }
  bench.SetLabel(LabelFor(static_cast<int>(bench.range(0))));
}
BENCHMARK(BM_FolderPrefixComparison)->DenseRange(0, 3);

void BM_ContextCommand(benchmark::State& bench) {
  AppState state;
  state.URLPrefix = kToken;
  state.Sites.ReplaceAll({{"", false}, {"friends.example", false}});
  test::SimFolderSet folders;
  sim::SimDesktop desktop{folders.folders};
  sim::SimWindow& window = desktop.browsers.Open("news", "http://www.ads.example/page.html", {});
  const std::string url = AddressFor(static_cast<int>(bench.range(0)));
  for (auto _ : bench) {
    std::string_view address = url;
    benchmark::DoNotOptimize(address);
    bool command = ContextCommand(state, desktop.files, kFolder, window, address);
    benchmark::DoNotOptimize(command);
  }
  bench.SetLabel(LabelFor(static_cast<int>(bench.range(0))));
}
BENCHMARK(BM_ContextCommand)->DenseRange(0, 3);

}  // namespace
}  // namespace velmox
