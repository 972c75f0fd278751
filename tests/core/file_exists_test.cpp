#include "core/file_exists.h"

#include <gtest/gtest.h>

#include "support/memory_files.h"

namespace velmox {
namespace {

TEST(FileExists, NeedsAtLeastOneByte) {
  test::MemoryFiles files;
  files.files["C:\\V\\empty"] = "";
  files.files["C:\\V\\one"] = "x";
  files.files["C:\\V\\broken"] = "content";
  files.failingPaths.insert("C:\\V\\broken");
  EXPECT_FALSE(FileExists(files, "C:\\V\\empty"));
  EXPECT_FALSE(FileExists(files, "C:\\V\\missing"));
  EXPECT_TRUE(FileExists(files, "C:\\V\\one"));
  EXPECT_FALSE(FileExists(files, "C:\\V\\broken"));
}

}  // namespace
}  // namespace velmox
