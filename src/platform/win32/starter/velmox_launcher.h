#pragma once

#include <string>

#include "starter/starter.h"

namespace velmox::win32 {

// Starts Velmox.exe as a process of its own, in its own folder, and lets it run.
class WinVelmoxLauncher : public VelmoxLauncher {
 public:
  explicit WinVelmoxLauncher(std::string folder) : folder_(std::move(folder)) {}
  void StartVelmox() override;

 private:
  std::string folder_;
};

}  // namespace velmox::win32
