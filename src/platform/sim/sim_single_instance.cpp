#include "platform/sim/sim_single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/platform_error.h"

namespace velmox::sim {

namespace {

int OpenLockFile(const std::filesystem::path& lockFile) {
  return ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
}

std::string OpenProblem(const std::filesystem::path& lockFile, int error) {
  return "the instance lock \"" + lockFile.string() +
         "\" cannot be opened: " + std::strerror(error);
}

}  // namespace

std::optional<std::string> LockFileProblem(const std::filesystem::path& lockFile) {
  const int fd = OpenLockFile(lockFile);
  if (fd < 0) return OpenProblem(lockFile, errno);
  ::close(fd);
  return std::nullopt;
}

SimSingleInstance::~SimSingleInstance() {
  if (fd_ >= 0) ::close(fd_);
}

bool SimSingleInstance::AnotherInstanceRunning() {
  if (fd_ >= 0) return false;
  const int fd = OpenLockFile(lockFile_);
  if (fd < 0) {
    problem_ = OpenProblem(lockFile_, errno);
    throw PlatformError(75, "The instance lock could not be opened");
  }
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return true;
  }
  fd_ = fd;
  return false;
}

}  // namespace velmox::sim
