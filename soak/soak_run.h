#pragma once

#include <array>
#include <cstdint>
#include <random>
#include <string>

#include "platform/sim/script/sim_session.h"
#include "soak.h"

// What every part of a soak shares: the options, the seeded generator, the simulated desktop
// Velmox runs on, the figures, and the number of the event being played.
namespace velmox::soak {

// Every random choice of a run comes from this one generator, so that a seed replays the run.
class Random {
 public:
  explicit Random(std::uint64_t seed) : engine_(seed) {}
  std::uint64_t Below(std::uint64_t n) {
    return std::uniform_int_distribution<std::uint64_t>(0, n - 1)(engine_);
  }
  bool Chance(double p) { return std::bernoulli_distribution(p)(engine_); }
  template <class T, std::size_t N>
  const T& Pick(const std::array<T, N>& items) {
    return items[Below(N)];
  }

 private:
  std::mt19937_64 engine_;
};

struct SoakRun {
  // Empties the folder and lays out an application folder with a sound and a site list.
  explicit SoakRun(const SoakOptions& options);

  SoakOptions options;
  Random random;
  sim::SimSession session;
  SoakFigures figures;
  std::uint64_t event = 0;

  sim::SimDesktop& Desktop() { return session.desktop; }
  // Throws InvariantBroken, naming the event and the seed that reproduce it.
  [[noreturn]] void Broken(const std::string& what) const;
};

}  // namespace velmox::soak
