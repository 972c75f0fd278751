#include "platform/sim/sim_single_instance.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/platform_error.h"
#include "support/temp_folder.h"

namespace velmox::sim {
namespace {

TEST(SimSingleInstance, HoldsBetweenProcesses) {
  test::TempFolder folder;
  const auto lock = folder.Path() / "velmox.lock";
  SimSingleInstance mine(lock);
  ASSERT_FALSE(mine.AnotherInstanceRunning());
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    SimSingleInstance theirs(lock);
    ::_exit(theirs.AnotherInstanceRunning() ? 7 : 3);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 7);
}

TEST(SimSingleInstance, LockThatCannotBeOpenedFails) {
  test::TempFolder folder;
  SimSingleInstance instance(folder.Path() / "no" / "velmox.lock");
  EXPECT_THROW(instance.AnotherInstanceRunning(), PlatformError);
}

}  // namespace
}  // namespace velmox::sim
