#pragma once

#include <exception>
#include <utility>

// How Velmox meets a failure, one small helper for each way, so that a handler reads like its
// description. (A third way, the one message box that lets the user go on or end Velmox, is the
// window scan's own.)
//
// Failures are std::exception: PlatformError from a platform call, and whatever the standard
// library throws. Anything else is not a failure and passes through: a desktop that ends the
// process at once, or a simulated desktop's script stopping mid-event.
namespace velmox {

// Skip and go on: a failing step is skipped silently and the caller runs its next step.
template <class Step>
void SkipOnFailure(Step&& step) {
  try {
    std::forward<Step>(step)();
  } catch (const std::exception&) {
  }
}

// Trap and leave: the procedure ends with a safe result when anything in it fails.
template <class T, class Body>
T TrapOr(T safeResult, Body&& body) {
  try {
    return std::forward<Body>(body)();
  } catch (const std::exception&) {
    return safeResult;
  }
}

}  // namespace velmox
