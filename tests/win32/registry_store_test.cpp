#include "platform/win32/registry_store.h"

#include "platform/win32/win_api.h"

#include <gtest/gtest.h>

namespace velmox::win32 {
namespace {

// Each test works under its own root, removed afterwards, so the real settings stay untouched.
class RegistryStoreTest : public ::testing::Test {
 protected:
  void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, root.c_str()); }

  std::string RawValue(const std::string& path, const std::string& key, DWORD& type) {
    char data[256] = {};
    DWORD size = sizeof data;
    const LONG status = RegGetValueA(HKEY_CURRENT_USER, path.c_str(), key.c_str(),
                                     RRF_RT_ANY | RRF_NOEXPAND, &type, data, &size);
    return status == ERROR_SUCCESS ? std::string(data) : "<missing>";
  }

  std::string root = "Software\\VelmoxTest" + std::to_string(GetCurrentProcessId());
  RegistryStore store{root};
};

TEST_F(RegistryStoreTest, MissingSectionOrKeyGivesTheDefaultAndCreatesNothing) {
  EXPECT_EQ("True", store.GetSetting("Velmox", "Options", "AutoClose", "True"));
  HKEY key = nullptr;
  EXPECT_EQ(ERROR_FILE_NOT_FOUND,
            RegOpenKeyExA(HKEY_CURRENT_USER, (root + "\\Velmox").c_str(), 0, KEY_READ, &key));

  store.SaveSetting("Velmox", "Options", "PlayASound", "False");
  EXPECT_EQ("dflt", store.GetSetting("Velmox", "Options", "AutoClose", "dflt"));
}

TEST_F(RegistryStoreTest, ValuesAreStringsUnderOneKeyPerSection) {
  store.SaveSetting("Velmox", "Options", "LinkTarget", "_top");
  store.SaveSetting("Velmox", "Data", "URLPrefix", "0123456789");
  DWORD type = 0;
  EXPECT_EQ("_top", RawValue(root + "\\Velmox\\Options", "LinkTarget", type));
  EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
  EXPECT_EQ("0123456789", RawValue(root + "\\Velmox\\Data", "URLPrefix", type));
  EXPECT_EQ("<missing>", RawValue(root + "\\Velmox\\Options", "URLPrefix", type));
}

TEST_F(RegistryStoreTest, SavingReplacesAndRoundTripsAnsiText) {
  store.SaveSetting("Velmox", "Options", "SoundFileName", "C:\\old.wav");
  const std::string path = "C:\\Programme\\Kl\xe4nge\\cork 2.wav";
  store.SaveSetting("Velmox", "Options", "SoundFileName", path);
  EXPECT_EQ(path, store.GetSetting("Velmox", "Options", "SoundFileName", ""));
  store.SaveSetting("Velmox", "Options", "SoundFileName", "");
  EXPECT_EQ("", store.GetSetting("Velmox", "Options", "SoundFileName", "dflt"));
}

TEST_F(RegistryStoreTest, AValueOfAnotherTypeReadsAsMissing) {
  store.SaveSetting("Velmox", "Options", "Other", "x");
  const DWORD number = 1;
  RegSetKeyValueA(HKEY_CURRENT_USER, (root + "\\Velmox\\Options").c_str(), "AutoLoad", REG_DWORD,
                  &number, sizeof number);
  EXPECT_EQ("False", store.GetSetting("Velmox", "Options", "AutoLoad", "False"));
}

}  // namespace
}  // namespace velmox::win32
