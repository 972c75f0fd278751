#pragma once

#include "soak_run.h"

namespace velmox::soak {

// The faults a soak run with --faults injects at random: now and then a step of the disk fails
// (create, write, rename, or a full disk that takes half the bytes), a read or save of the
// settings store fails, and an action makes a browser window fail every call, as a window that
// is closing does. Without --faults nothing fails and no random number is drawn.
class Faults {
 public:
  // Sets the desktop's fault hooks.
  explicit Faults(SoakRun& run);

  bool On() const { return run_.options.faults; }
  // A browser window starts failing every call, or, as often, every window works again.
  void FailOrRecoverWindows(sim::SimWindow& window);

 private:
  bool Fault(double p);

  SoakRun& run_;
};

}  // namespace velmox::soak
