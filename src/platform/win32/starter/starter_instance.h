#pragma once

#include "platform/win32/win_api.h"

#include "platform/win32/scoped_win.h"

namespace velmox::win32 {

// The one starter of this logon session: the mutex that keeps a second one out, its process id
// where "/stop" finds it, and the event "/stop" sets. Throws PlatformError when the objects
// cannot be made.
class StarterInstance {
 public:
  StarterInstance();
  StarterInstance(const StarterInstance&) = delete;
  StarterInstance& operator=(const StarterInstance&) = delete;

  // False when another starter already runs; this one should end at once.
  bool Claimed() const { return stop_.Valid(); }
  HANDLE StopEvent() const { return stop_.Get(); }

 private:
  ScopedHandle running_;
  ScopedHandle processId_;
  ScopedHandle stop_;
};

// Tells the running starter to end and waits (ten seconds at most) until its process has gone,
// so that its file can be replaced or deleted right after. Nothing happens when none runs.
void StopRunningStarter();

}  // namespace velmox::win32
