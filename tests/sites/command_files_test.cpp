#include "sites/command_files.h"

#include <gtest/gtest.h>

#include "support/memory_files.h"

namespace velmox {
namespace {

const std::string kFolder = "C:\\Program Files\\Velmox";
const std::string kToken = "0123456789";

std::string PathOf(const std::string& name) {
  return kFolder + "\\" + name;
}

// The files' exact bytes are checked end to end by the context-menu script.

// A full disk must not leave a half-written script behind: being present, it would never be
// written again and the context-menu entry would stay broken.
TEST(CreateHTML, FullDiskLeavesNoHalfWrittenFile) {
  test::MemoryFiles files;
  files.diskFull = true;
  CreateHTML(files, kFolder, kToken);
  EXPECT_TRUE(files.files.empty());

  files.diskFull = false;
  CreateHTML(files, kFolder, kToken);
  EXPECT_EQ(files.files.size(), 4u);
  EXPECT_TRUE(files.Content(PathOf("blocksite.script")).ends_with("</SCRIPT>"));
}

TEST(CreateHTML, PresentFilesAreLeftAloneAndEmptyOnesRewritten) {
  test::MemoryFiles files;
  files.files[PathOf("blocksite.script")] = "from an earlier token";
  files.files[PathOf("b0123456789.html")] = "";
  CreateHTML(files, kFolder, kToken);
  EXPECT_EQ(files.Content(PathOf("blocksite.script")), "from an earlier token");
  EXPECT_TRUE(files.Content(PathOf("b0123456789.html")).starts_with("<html>"));
  EXPECT_EQ(files.files.size(), 4u);
}

TEST(CreateHTML, UnwritableFileIsSkippedAndTheOthersStillWritten) {
  test::MemoryFiles files;
  files.failingPaths.insert(PathOf("trustsite.script"));
  CreateHTML(files, kFolder, kToken);
  EXPECT_FALSE(files.Has(PathOf("trustsite.script")));
  EXPECT_TRUE(files.Has(PathOf("t0123456789.html")));
  EXPECT_EQ(files.files.size(), 3u);
}

}  // namespace
}  // namespace velmox
