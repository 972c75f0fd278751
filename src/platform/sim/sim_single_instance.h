#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "core/desktop_services.h"

namespace velmox::sim {

// One running Velmox per profile: an exclusive lock on a file in the profile folder, held until
// this object goes. It holds between real processes as well as within one.
// Why the lock file cannot be opened for a lock (its folder is read-only, it is a folder ...), or
// nullopt when it can.
std::optional<std::string> LockFileProblem(const std::filesystem::path& lockFile);

class SimSingleInstance : public SingleInstance {
 public:
  explicit SimSingleInstance(std::filesystem::path lockFile) : lockFile_(std::move(lockFile)) {}
  ~SimSingleInstance() override;
  SimSingleInstance(const SimSingleInstance&) = delete;
  SimSingleInstance& operator=(const SimSingleInstance&) = delete;

  bool AnotherInstanceRunning() override;
  // Why the lock could not be taken ("the instance lock ... cannot be opened: ..."), or empty.
  const std::string& Problem() const { return problem_; }

 private:
  std::filesystem::path lockFile_;
  int fd_ = -1;
  std::string problem_;
};

}  // namespace velmox::sim
