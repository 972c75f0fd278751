// `velmox_soak`: plays random desktop activity on Velmox and checks it after every event.
#include <CLI/CLI.hpp>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "soak.h"

int main(int argc, char** argv) {
  CLI::App cli{
      "A seeded random run of Velmox on the simulated desktop, checked after every event."};
  velmox::soak::SoakOptions options;
  std::size_t allowedGrowthKb = 4096;
  cli.add_option("--events", options.events, "how many events to play");
  cli.add_option("--seed", options.seed, "the generator's seed");
  cli.add_flag("--faults", options.faults, "the file system and the settings store fail at random");
  cli.add_option("--folder", options.folder, "where the desktop keeps its folders (emptied)");
  cli.add_option("--allowed-growth-kb", allowedGrowthKb,
                 "how much the live heap may grow from a quarter of the run to its end");
  CLI11_PARSE(cli, argc, argv);
  if (options.folder.empty()) {
    // In memory when the machine has it: each save of servers.lst is flushed to disk.
    const char* tmp = std::getenv("TMPDIR");
    const std::filesystem::path base = std::filesystem::is_directory("/dev/shm") ? "/dev/shm"
                                       : tmp && *tmp                             ? tmp
                                                                                 : "/tmp";
    options.folder = base / ("velmox-soak-" + std::to_string(::getpid()));
  }

  try {
    const auto f = velmox::soak::RunSoak(options, std::cerr);
    std::filesystem::remove_all(options.folder);
    const double rate = f.seconds > 0 ? static_cast<double>(f.events) / f.seconds : 0;
    std::cout << "soak" << (options.faults ? " with faults" : "") << ": " << f.events
              << " events (seed " << options.seed << ") in " << f.seconds << " s, "
              << static_cast<long long>(rate) << " events/s; " << f.runs << " starts, "
              << f.dialogsOpened << " dialogs opened, " << f.popups << " pop-ups ("
              << f.popupsOpened << " opened, " << f.popupsBlocked << " blocked, " << f.failuresQuiet
              << " failed quietly, " << f.failuresAlerted << " failed with an alert), "
              << f.sitesSaved << " servers.lst saves";
    if (options.faults)
      std::cout << "; " << f.faultsInjected << " faults injected, " << f.saveFailures
                << " saves of servers.lst stopped by one";
    std::cout << "; live heap " << f.heapAfterWarmUp / 1024 << " KB after a quarter, "
              << f.heapAtEnd / 1024 << " KB at the end; peak memory " << f.peakRssKb / 1024
              << " MB\n";
    if (f.heapAtEnd > f.heapAfterWarmUp + allowedGrowthKb * 1024) {
      std::cout << "soak: FAILED: the live heap grew with the number of events\n";
      return 1;
    }
    std::cout << "soak: every invariant held after every event\n";
    return 0;
  } catch (const velmox::soak::InvariantBroken& e) {
    std::cout << "soak: FAILED at " << e.message << '\n';
    return 1;
  }
}
