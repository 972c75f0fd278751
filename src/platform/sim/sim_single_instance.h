#pragma once

#include <filesystem>

#include "core/desktop_services.h"

namespace velmox::sim {

// One running Velmox per profile: an exclusive lock on a file in the profile folder, held until
// this object goes. It holds between real processes as well as within one.
class SimSingleInstance : public SingleInstance {
 public:
  explicit SimSingleInstance(std::filesystem::path lockFile) : lockFile_(std::move(lockFile)) {}
  ~SimSingleInstance() override;
  SimSingleInstance(const SimSingleInstance&) = delete;
  SimSingleInstance& operator=(const SimSingleInstance&) = delete;

  bool AnotherInstanceRunning() override;

 private:
  std::filesystem::path lockFile_;
  int fd_ = -1;
};

}  // namespace velmox::sim
