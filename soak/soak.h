#pragma once

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>

// A long randomized run of Velmox on the simulated desktop: a seeded generator plays desktop
// activity one event at a time, and the invariants are checked after every event.
namespace velmox::soak {

struct SoakOptions {
  std::uint64_t events = 1'000'000;
  std::uint64_t seed = 1;
  // The file system and the settings store fail at random.
  bool faults = false;
  // Where the desktop keeps its folders; emptied first.
  std::filesystem::path folder;
};

struct SoakFigures {
  std::uint64_t events = 0;
  std::uint64_t runs = 0;  // starts of Velmox
  std::uint64_t dialogsOpened = 0;
  std::uint64_t popups = 0;         // pop-ups and clicks that asked for a new window
  std::uint64_t popupsOpened = 0;   // let through or opened for the user
  std::uint64_t popupsBlocked = 0;  // blocked with an alert
  std::uint64_t failuresQuiet = 0;  // analysis failures within 3 s of the run's first
  std::uint64_t failuresAlerted = 0;
  std::uint64_t sitesSaved = 0;
  std::uint64_t faultsInjected = 0;
  std::uint64_t saveFailures = 0;  // servers.lst saves that a fault stopped
  double seconds = 0;
  std::size_t heapAfterWarmUp = 0;  // live heap bytes
  std::size_t heapAtEnd = 0;
  std::size_t peakRssKb = 0;
};

// What broke, with the event and the seed that reproduce it.
struct InvariantBroken {
  std::string message;
};

// Throws InvariantBroken at the first invariant that does not hold.
SoakFigures RunSoak(const SoakOptions& options, std::ostream& progress);

}  // namespace velmox::soak
