#include "platform/sim/sim_files.h"

#include <gtest/gtest.h>

#include "core/platform_error.h"
#include "support/temp_folder.h"

namespace velmox::sim {
namespace {

class SimFilesTest : public ::testing::Test {
 protected:
  test::TempFolder folder;
  SimFiles files{"C:\\Program Files\\Velmox", folder.Path()};

  static std::string V(const std::string& name) { return "C:\\Program Files\\Velmox\\" + name; }
  std::filesystem::path Real(const std::string& name) { return folder.Path() / name; }
};

long ErrorNumber(const std::function<void()>& call) {
  try {
    call();
  } catch (const PlatformError& e) {
    return e.Number();
  }
  return 0;
}

TEST_F(SimFilesTest, MapsTheVirtualFolderOntoTheRealOneAndNothingElse) {
  EXPECT_EQ(files.RealPath("C:\\Program Files\\Velmox"), folder.Path());
  EXPECT_EQ(files.RealPath(V("sounds\\cork.wav")), folder.Path() / "sounds/cork.wav");
  EXPECT_EQ(files.RealPath("c:\\program files\\VELMOX\\a.txt"), folder.Path() / "a.txt");
  EXPECT_EQ(files.RealPath("/usr/share/x.wav"), std::filesystem::path("/usr/share/x.wav"));
  for (const char* path :
       {"C:\\Program Files\\Velmox2\\a.txt", "C:\\Windows\\a.txt", "a.txt", "", "C:\\Program Files",
        "C:\\Program Files\\Velmox\\..\\..\\etc\\passwd",
        "C:\\Program Files\\Velmox\\help\\..\\..\\x", "C:\\Program Files\\Velmox\\\\tmp\\x",
        "C:\\Program Files\\Velmox\\/tmp/x"}) {
    EXPECT_EQ(ErrorNumber([&] { files.RealPath(path); }), 76) << path;
  }
}

TEST_F(SimFilesTest, WriteReadAndLengthAreBytesAndMissingFilesFail) {
  files.WriteText(V("a.txt"), "one\r\ntwo\n\xE9");
  EXPECT_EQ(files.ReadText(V("a.txt")), "one\r\ntwo\n\xE9");
  EXPECT_EQ(files.FileLength(V("a.txt")), 10);
  files.WriteText(V("a.txt"), "x");
  EXPECT_EQ(test::ReadRealFile(Real("a.txt")), "x") << "a write truncates";

  EXPECT_EQ(ErrorNumber([&] { files.ReadText(V("none")); }), 53);
  std::filesystem::create_directory(Real("dir"));
  EXPECT_EQ(ErrorNumber([&] { files.FileLength(V("dir")); }), 53);
  EXPECT_EQ(ErrorNumber([&] { files.WriteText(V("no\\such\\folder.txt"), "x"); }), 75);
}

TEST_F(SimFilesTest, RenameMovesAFileButNeverOntoAnotherOrFromNothing) {
  test::WriteRealFile(Real("a"), "from");
  test::WriteRealFile(Real("b"), "to");
  std::filesystem::create_directory(Real("d"));
  EXPECT_EQ(ErrorNumber([&] { files.Rename(V("a"), V("b")); }), 58);
  EXPECT_EQ(ErrorNumber([&] { files.Rename(V("a"), V("d")); }), 58);
  EXPECT_EQ(ErrorNumber([&] { files.Rename(V("none"), V("c")); }), 53);
  EXPECT_EQ(test::ReadRealFile(Real("b")), "to");
  EXPECT_FALSE(std::filesystem::exists(Real("c")));
  files.Rename(V("a"), V("c"));
  EXPECT_FALSE(std::filesystem::exists(Real("a")));
  EXPECT_EQ(test::ReadRealFile(Real("c")), "from");
}

TEST_F(SimFilesTest, WriteTextAtomicallySwapsInTheWholeNewContentOrLeavesTheOldFileWhole) {
  test::WriteRealFile(Real("servers.lst"), "old");
  files.WriteTextAtomically(V("servers.lst"), "new content");
  EXPECT_EQ(test::ReadRealFile(Real("servers.lst")), "new content");
  EXPECT_FALSE(std::filesystem::exists(Real("servers.lst.new")));
}

// Whatever lies where the new text would go (a link to a file outside, a hard link, a folder, a
// link to nowhere) is left alone, and the write takes a fresh name beside it.
TEST_F(SimFilesTest, WriteTextAtomicallyNeverFollowsOrReusesWhatLiesBeside) {
  test::WriteRealFile(Real("outside/victim"), "precious");
  std::filesystem::create_symlink(Real("outside/victim"), Real("servers.lst.new"));
  std::filesystem::create_hard_link(Real("outside/victim"), Real("servers.lst.new1"));
  std::filesystem::create_directory(Real("servers.lst.new2"));
  std::filesystem::create_symlink(Real("outside/created"), Real("servers.lst.new3"));
  files.WriteTextAtomically(V("servers.lst"), "new content");
  EXPECT_EQ(test::ReadRealFile(Real("servers.lst")), "new content");
  EXPECT_FALSE(std::filesystem::is_symlink(Real("servers.lst")));
  EXPECT_EQ(test::ReadRealFile(Real("outside/victim")), "precious");
  EXPECT_FALSE(std::filesystem::exists(Real("outside/created")));
  EXPECT_TRUE(std::filesystem::is_symlink(Real("servers.lst.new")));
  EXPECT_FALSE(std::filesystem::exists(Real("servers.lst.new4")));
}

// Ordered faults: a full disk leaves half the text of a plain write on disk, and nothing of a
// whole-file write; a failing rename leaves both files as they were.
TEST_F(SimFilesTest, OrderedFaultsFailAsTheDiskWould) {
  std::string failing;
  files.failStep = [&](std::string_view step, const std::string&) { return step == failing; };
  test::WriteRealFile(Real("servers.lst"), "old");
  for (const char* step : {"create", "write", "rename"}) {
    failing = step;
    EXPECT_THROW(files.WriteTextAtomically(V("servers.lst"), "new content"), PlatformError) << step;
    EXPECT_EQ(test::ReadRealFile(Real("servers.lst")), "old") << step;
    EXPECT_FALSE(std::filesystem::exists(Real("servers.lst.new"))) << step;
  }
  failing = "write";
  EXPECT_EQ(ErrorNumber([&] { files.WriteText(V("page.html"), "12345678"); }), 61);
  EXPECT_EQ(test::ReadRealFile(Real("page.html")), "1234");
  failing = "read";
  EXPECT_EQ(ErrorNumber([&] { files.ReadText(V("page.html")); }), 75);
  EXPECT_EQ(ErrorNumber([&] { files.FileLength(V("page.html")); }), 75);
  failing = "rename";
  EXPECT_THROW(files.Rename(V("page.html"), V("other.html")), PlatformError);
  EXPECT_TRUE(std::filesystem::exists(Real("page.html")));
  failing.clear();
  files.Rename(V("page.html"), V("other.html"));
  EXPECT_EQ(test::ReadRealFile(Real("other.html")), "1234");
}

TEST_F(SimFilesTest, FailedSwapRemovesTheFileBeside) {
  // The target is a folder that is not empty, so the final rename fails.
  test::WriteRealFile(Real("target/inside"), "x");
  EXPECT_THROW(files.WriteTextAtomically(V("target"), "new"), PlatformError);
  EXPECT_FALSE(std::filesystem::exists(Real("target.new")));
}

}  // namespace
}  // namespace velmox::sim
