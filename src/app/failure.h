#pragma once

#include <exception>
#include <utility>

// The design's failure styles, one small helper each, so that a handler reads like its
// description. (The third style, the one message box that lets the user go on or end, is the
// window scan's own.)
namespace velmox {

// Skip and go on: a failing step is skipped silently and the caller runs its next step.
template <class Step>
void SkipOnFailure(Step&& step) noexcept {
  try {
    std::forward<Step>(step)();
  } catch (...) {
  }
}

// Trap and leave: the procedure ends with a safe result when anything in it fails.
template <class T, class Body>
T TrapOr(T safeResult, Body&& body) noexcept {
  try {
    return std::forward<Body>(body)();
  } catch (...) {
    return safeResult;
  }
}

}  // namespace velmox
