#include "platform/sim/sim_settings_store.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include "core/platform_error.h"
#include "support/temp_folder.h"

namespace velmox::sim {
namespace {

class SimSettingsStoreTest : public ::testing::Test {
 protected:
  test::TempFolder folder;
  SimSettingsStore store{folder.Path() / "settings.txt"};

  std::string Get(const char* section, const char* key) {
    return store.GetSetting("Velmox", section, key, "<default>");
  }
  std::string FileText() { return test::ReadRealFile(store.File()); }
};

TEST_F(SimSettingsStoreTest, MissingFileGivesDefaultsAndIsNotCreated) {
  EXPECT_EQ(Get("Options", "PlayASound"), "<default>");
  EXPECT_FALSE(std::filesystem::exists(store.File()));
}

TEST_F(SimSettingsStoreTest, SavedValuesReadBackAndReplaceEarlierOnesWhateverTheCase) {
  store.SaveSetting("Velmox", "Options", "LinkTarget", "_top");
  store.SaveSetting("Velmox", "Data", "URLPrefix", "0123456789");
  store.SaveSetting("Velmox", "Options", "SoundFileName", "C:\\a=b.wav");
  store.SaveSetting("Velmox", "Options", "Empty", "");
  store.SaveSetting("velmox", "OPTIONS", "LINKTARGET", "_blank");
  EXPECT_EQ(store.GetSetting("VELMOX", "options", "linktarget", "d"), "_blank");
  EXPECT_EQ(Get("Data", "URLPrefix"), "0123456789");
  EXPECT_EQ(Get("Options", "SoundFileName"), "C:\\a=b.wav");
  EXPECT_EQ(Get("Options", "Empty"), "");
  EXPECT_EQ(Get("Data", "LinkTarget"), "<default>") << "sections are apart";
  EXPECT_EQ(store.GetSetting("Other", "Options", "LinkTarget", "d"), "d");
  EXPECT_EQ(FileText(),
            "[Velmox\\Options]\nLINKTARGET=_blank\nSoundFileName=C:\\a=b.wav\nEmpty=\n"
            "[Velmox\\Data]\nURLPrefix=0123456789\n");
}

TEST_F(SimSettingsStoreTest, LinesThatMakeNoSenseAreKept) {
  test::WriteRealFile(store.File(),
                      "; a note\r\n[Velmox\\Options]\r\ngarbage line\r\n=nokey\r\nLinkTarget=_x\r\n"
                      "[broken\r\n[Velmox\\Data]\r\nURLPrefix=1\r\n");
  EXPECT_EQ(Get("Options", "LinkTarget"), "_x");
  EXPECT_EQ(Get("Data", "URLPrefix"), "1");
  store.SaveSetting("Velmox", "Options", "PlayASound", "True");
  store.SaveSetting("Velmox", "Data", "URLPrefix", "2");
  EXPECT_EQ(FileText(),
            "; a note\n[Velmox\\Options]\ngarbage line\n=nokey\nLinkTarget=_x\n[broken\n"
            "PlayASound=True\n[Velmox\\Data]\nURLPrefix=2\n");
  EXPECT_EQ(Get("Options", "PlayASound"), "True");
}

TEST_F(SimSettingsStoreTest, ValuesThatCannotBeStoredAreRefused) {
  EXPECT_THROW(store.SaveSetting("Velmox", "Options", "A=B", "x"), PlatformError);
  EXPECT_THROW(store.SaveSetting("Velmox", "Opt]ions", "A", "x"), PlatformError);
  EXPECT_THROW(store.SaveSetting("Velmox", "Options", "", "x"), PlatformError);
  EXPECT_THROW(store.SaveSetting("Velmox", "Options", "A", "two\nlines"), PlatformError);
  EXPECT_FALSE(std::filesystem::exists(store.File()));
}

TEST_F(SimSettingsStoreTest, FailingSavesChangeNothing) {
  store.SaveSetting("Velmox", "Data", "URLPrefix", "1");
  store.failCall = [](std::string_view call, const std::string&) { return call == "save"; };
  EXPECT_THROW(store.SaveSetting("Velmox", "Data", "URLPrefix", "2"), PlatformError);
  EXPECT_EQ(Get("Data", "URLPrefix"), "1");
}

// Files named like the store's temporary ones: "settings.txt.new", "settings.txt.new1" ...
std::vector<std::string> LeftBeside(const std::filesystem::path& file) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(file.parent_path())) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with(file.filename().string() + ".new")) names.push_back(name);
  }
  return names;
}

// A real full disk: while it lives, no file of this process may grow beyond `bytes`.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails with EFBIG
    ::getrlimit(RLIMIT_FSIZE, &old_);
    const rlimit limited{bytes, old_.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, oldHandler_);
  }

 private:
  rlimit old_{};
  void (*oldHandler_)(int) = nullptr;
};

TEST_F(SimSettingsStoreTest, AFullDiskLeavesTheStoreAsItWasAndNothingBeside) {
  store.SaveSetting("Velmox", "Data", "URLPrefix", "1");
  const std::string before = FileText();
  {
    FileSizeLimit full(8);
    EXPECT_THROW(store.SaveSetting("Velmox", "Options", "SoundFileName", std::string(100, 'x')),
                 PlatformError);
  }
  EXPECT_EQ(FileText(), before);
  EXPECT_EQ(LeftBeside(store.File()), std::vector<std::string>{});
}

// A file or link planted where the store writes its new text is neither followed nor reused.
TEST_F(SimSettingsStoreTest, ASaveNeverWritesThroughALinkBesideTheStore) {
  test::WriteRealFile(folder.Path() / "victim", "precious");
  std::filesystem::create_symlink(folder.Path() / "victim", folder.Path() / "settings.txt.new");
  std::filesystem::create_hard_link(folder.Path() / "victim", folder.Path() / "settings.txt.new1");
  store.SaveSetting("Velmox", "Data", "URLPrefix", "1");
  EXPECT_EQ(test::ReadRealFile(folder.Path() / "victim"), "precious");
  EXPECT_EQ(Get("Data", "URLPrefix"), "1");
  EXPECT_FALSE(std::filesystem::is_symlink(store.File()));
}

}  // namespace
}  // namespace velmox::sim
