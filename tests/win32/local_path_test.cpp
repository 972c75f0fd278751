#include "platform/win32/local_path.h"

#include <gtest/gtest.h>

#include "platform/win32/win_files.h"
#include "win32/win_test_support.h"

namespace velmox::win32 {
namespace {

// A folder whose name has a letter the code page lacks (a user's name in the profile folder),
// made with the wide API inside a test folder.
class ForeignFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(ExactAnsi(kForeign)) << "the code page has every letter of the name";
    wchar_t base[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, temp.Path().c_str(), -1, base, MAX_PATH);
    folder = std::wstring(base) + L"\\" + kForeign;
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const HANDLE page = CreateFileW((folder + L"\\b0123456789.html").c_str(), GENERIC_WRITE, 0,
                                    nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(page, INVALID_HANDLE_VALUE);
    CloseHandle(page);
  }
  void TearDown() override {
    DeleteFileW((folder + L"\\b0123456789.html").c_str());
    DeleteFileW((folder + L"\\servers.lst").c_str());
    RemoveDirectoryW(folder.c_str());
  }

  static constexpr const wchar_t* kForeign = L"\u0141ukasz \u540d\u524d";
  test::TempFolder temp;
  std::wstring folder;
};

TEST(LocalPath, TextTheCodePageHasIsKeptAsItIs) {
  EXPECT_EQ(ExactAnsi(L"C:\\Program Files\\Velmox"), "C:\\Program Files\\Velmox");
  EXPECT_EQ(AnsiFolder(L"C:\\Program Files\\Velmox"), "C:\\Program Files\\Velmox");
  EXPECT_EQ(AnsiAddress(L"http://example.com/a?b=1"), "http://example.com/a?b=1");
  EXPECT_EQ(ExactAnsi(L""), "");
}

// The folder Velmox names is one the ANSI calls reach, and writing there works; an address the
// browser reports with the long names, as a path or as a file: address, names the same file in
// the same form, so the command page is recognised under the folder.
TEST_F(ForeignFolderTest, AFolderNamedInTheCodePageReachesTheFileAndAddressesAgreeWithIt) {
  const std::string named = AnsiFolder(folder);
  ASSERT_EQ(named.find('?'), std::string::npos) << named;
  EXPECT_NE(GetFileAttributesA((named + "\\b0123456789.html").c_str()), INVALID_FILE_ATTRIBUTES);
  WinFiles files;
  files.WriteTextAtomically(named + "\\servers.lst", "\"a.example\",#TRUE#\r\n");
  EXPECT_EQ(files.ReadText(named + "\\servers.lst"), "\"a.example\",#TRUE#\r\n");

  EXPECT_EQ(AnsiAddress(folder + L"\\b0123456789.html"), named + "\\b0123456789.html");
  std::wstring url = L"file:///" + folder + L"/b0123456789.html";
  for (wchar_t& c : url) {
    if (c == L'\\') c = L'/';
  }
  EXPECT_EQ(AnsiAddress(url), named + "\\b0123456789.html");
}

}  // namespace
}  // namespace velmox::win32
