#include "platform/sim/sim_single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "core/platform_error.h"

namespace velmox::sim {

SimSingleInstance::~SimSingleInstance() {
  if (fd_ >= 0) ::close(fd_);
}

bool SimSingleInstance::AnotherInstanceRunning() {
  if (fd_ >= 0) return false;
  const int fd = ::open(lockFile_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) throw PlatformError(75, "The instance lock could not be opened");
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return true;
  }
  fd_ = fd;
  return false;
}

}  // namespace velmox::sim
