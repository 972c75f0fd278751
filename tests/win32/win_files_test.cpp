#include "platform/win32/win_files.h"

#include <gtest/gtest.h>

#include "core/platform_error.h"
#include "win32/win_test_support.h"

namespace velmox::win32 {
namespace {

using test::TempFolder;

class WinFilesTest : public ::testing::Test {
 protected:
  TempFolder folder;
  WinFiles files;
};

TEST_F(WinFilesTest, TextIsWrittenAndReadAsTheBytesItIs) {
  const std::string text = "caf\xe9\r\nline two\n\x80\xff\r\n";
  files.WriteText(folder.File("a.txt"), text);
  EXPECT_EQ(text, files.ReadText(folder.File("a.txt")));
  EXPECT_EQ(static_cast<std::int64_t>(text.size()), files.FileLength(folder.File("a.txt")));

  files.WriteText(folder.File("a.txt"), "x");
  EXPECT_EQ("x", files.ReadText(folder.File("a.txt")));
  files.WriteText(folder.File("a.txt"), "");
  EXPECT_EQ(0, files.FileLength(folder.File("a.txt")));
}

TEST_F(WinFilesTest, RenameNeverReplacesAnExistingFile) {
  files.WriteText(folder.File("blocksite.script2"), "inactive");
  files.Rename(folder.File("blocksite.script2"), folder.File("blocksite.script"));
  EXPECT_EQ("inactive", files.ReadText(folder.File("blocksite.script")));

  files.WriteText(folder.File("blocksite.script2"), "other");
  EXPECT_THROW(files.Rename(folder.File("blocksite.script2"), folder.File("blocksite.script")),
               PlatformError);
  EXPECT_EQ("inactive", files.ReadText(folder.File("blocksite.script")));
  EXPECT_EQ("other", files.ReadText(folder.File("blocksite.script2")));
}

TEST_F(WinFilesTest, FailuresCarryTheSystemNumberAndMessage) {
  try {
    files.Rename(folder.File("missing"), folder.File("target"));
    FAIL() << "renaming a missing file succeeded";
  } catch (const PlatformError& error) {
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, error.Number());
    EXPECT_FALSE(error.Description().empty());
    EXPECT_NE('\n', error.Description().back());
  }
  EXPECT_THROW(files.FileLength(folder.File("missing")), PlatformError);
  EXPECT_THROW(files.ReadText(folder.File("missing")), PlatformError);
}

TEST_F(WinFilesTest, WriteTextAtomicallySwapsTheWholeFileAndLeavesNothingBeside) {
  files.WriteTextAtomically(folder.File("servers.lst"), "new file\r\n");
  EXPECT_EQ("new file\r\n", files.ReadText(folder.File("servers.lst")));
  files.WriteTextAtomically(folder.File("servers.lst"), "second\r\n");
  EXPECT_EQ("second\r\n", files.ReadText(folder.File("servers.lst")));
  EXPECT_THROW(files.FileLength(folder.File("servers.lst.new")), PlatformError);
}

TEST_F(WinFilesTest, AFailedReplaceKeepsTheOldContent) {
  ASSERT_TRUE(CreateDirectoryA(folder.File("target").c_str(), nullptr));
  files.WriteText(folder.File("target\\inside"), "x");  // a folder that is not empty
  EXPECT_THROW(files.WriteTextAtomically(folder.File("target"), "new\r\n"), PlatformError);
  EXPECT_THROW(files.FileLength(folder.File("target.new")), PlatformError);
  EXPECT_EQ("x", files.ReadText(folder.File("target\\inside")));
  DeleteFileA(folder.File("target\\inside").c_str());
  RemoveDirectoryA(folder.File("target").c_str());
}

// Whatever lies where the new text would go (a hard link to a file elsewhere, a folder) is left
// alone, and the write takes a fresh name beside it.
TEST_F(WinFilesTest, WriteTextAtomicallyNeverWritesThroughWhatLiesBeside) {
  files.WriteText(folder.File("victim"), "precious");
  ASSERT_TRUE(CreateHardLinkA(folder.File("servers.lst.new").c_str(), folder.File("victim").c_str(),
                              nullptr));
  ASSERT_TRUE(CreateDirectoryA(folder.File("servers.lst.new1").c_str(), nullptr));
  files.WriteTextAtomically(folder.File("servers.lst"), "new\r\n");
  EXPECT_EQ("new\r\n", files.ReadText(folder.File("servers.lst")));
  EXPECT_EQ("precious", files.ReadText(folder.File("victim")));
  EXPECT_EQ("precious", files.ReadText(folder.File("servers.lst.new")));
  RemoveDirectoryA(folder.File("servers.lst.new1").c_str());
}

}  // namespace
}  // namespace velmox::win32
