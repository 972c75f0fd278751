#include "sites/command_files.h"

#include <gtest/gtest.h>

#include "platform/sim/sim_files.h"
#include "support/temp_folder.h"

namespace velmox {
namespace {

const std::string kAppFolder = "C:\\Program Files\\Velmox";
const std::string kPageToken = "0123456789";

std::string PathOf(const std::string& name) {
  return kAppFolder + "\\" + name;
}

// The files' exact bytes are checked end to end by the context-menu script.
class CreateHTML : public ::testing::Test {
 protected:
  std::size_t FileCount() const {
    const auto entries = std::filesystem::directory_iterator(folder.Path());
    return static_cast<std::size_t>(std::distance(begin(entries), end(entries)));
  }
  bool Has(const std::string& name) const { return std::filesystem::exists(folder.Path() / name); }
  std::string Content(const std::string& name) { return files.ReadText(PathOf(name)); }
  // The fixture's own name hides the function's.
  void Create() { ::velmox::CreateHTML(files, kAppFolder, kPageToken); }

  test::TempFolder folder;
  sim::SimFiles files{kAppFolder, folder.Path()};
};

// A full disk must not leave a half-written script behind: being present, it would never be
// written again and the context-menu entry would stay broken.
TEST_F(CreateHTML, FullDiskLeavesNoHalfWrittenFile) {
  files.failStep = [](std::string_view step, const std::string&) { return step == "write"; };
  Create();
  EXPECT_EQ(FileCount(), 0u);

  files.failStep = nullptr;
  Create();
  EXPECT_EQ(FileCount(), 4u);
  EXPECT_TRUE(Content("blocksite.script").ends_with("</SCRIPT>"));
}

// A script left from an earlier token would send every command to a page Velmox no longer
// recognises: a script that is not what Velmox writes now is written anew. The pages are named
// after their token, so a present one is left as it is, and so are the pages of other tokens.
TEST_F(CreateHTML, StaleScriptsAreRewrittenAndPresentPagesLeftAlone) {
  Create();
  const std::string script = Content("blocksite.script");
  test::WriteRealFile(folder.Path() / "blocksite.script", "from an earlier token");
  test::WriteRealFile(folder.Path() / "trustsite.script", "");
  test::WriteRealFile(folder.Path() / "b0123456789.html", "the user's own page");
  test::WriteRealFile(folder.Path() / "t0123456789.html", "");
  test::WriteRealFile(folder.Path() / "b9999999999.html", "an earlier token's page");
  std::vector<std::string> written;
  files.onWritten = [&](const std::string& path) { written.push_back(path); };
  Create();
  EXPECT_EQ(Content("blocksite.script"), script);
  EXPECT_TRUE(Content("trustsite.script").starts_with("<SCRIPT"));
  EXPECT_EQ(Content("b0123456789.html"), "the user's own page");
  EXPECT_TRUE(Content("t0123456789.html").starts_with("<html>"));
  EXPECT_EQ(Content("b9999999999.html"), "an earlier token's page");
  EXPECT_EQ(written.size(), 3u);

  written.clear();
  Create();
  EXPECT_TRUE(written.empty()) << "files as Velmox writes them are not written again";
}

TEST_F(CreateHTML, UnwritableFileIsSkippedAndTheOthersStillWritten) {
  files.failStep = [](std::string_view, const std::string& path) {
    return path == PathOf("trustsite.script");
  };
  Create();
  EXPECT_FALSE(Has("trustsite.script"));
  EXPECT_TRUE(Has("t0123456789.html"));
  EXPECT_EQ(FileCount(), 3u);
}

}  // namespace
}  // namespace velmox
