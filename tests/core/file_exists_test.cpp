#include "core/file_exists.h"

#include <gtest/gtest.h>

#include "platform/sim/sim_files.h"
#include "support/temp_folder.h"

namespace velmox {
namespace {

TEST(FileExists, NeedsAtLeastOneByte) {
  test::TempFolder folder;
  sim::SimFiles files{"C:\\V", folder.Path()};
  test::WriteRealFile(folder.Path() / "empty", "");
  test::WriteRealFile(folder.Path() / "one", "x");
  test::WriteRealFile(folder.Path() / "broken", "content");
  files.failStep = [](std::string_view, const std::string& path) {
    return path == "C:\\V\\broken";
  };
  EXPECT_FALSE(FileExists(files, "C:\\V\\empty"));
  EXPECT_FALSE(FileExists(files, "C:\\V\\missing"));
  EXPECT_TRUE(FileExists(files, "C:\\V\\one"));
  EXPECT_FALSE(FileExists(files, "C:\\V\\broken"));
}

}  // namespace
}  // namespace velmox
