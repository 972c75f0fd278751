#pragma once

namespace velmox::sim {

// Thrown by the simulated desktop when Velmox ends at once: it unwinds the run as the real
// process's end would stop it, without running another statement of Velmox. Not a failure, so
// nothing in Velmox catches it.
struct ProcessEnded {};

}  // namespace velmox::sim
