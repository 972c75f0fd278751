#include "settings/load_options.h"

#include <gtest/gtest.h>

#include <deque>
#include <regex>

#include "core/app_state.h"
#include "core/platform_error.h"
#include "platform/sim/sim_settings_store.h"
#include "support/temp_folder.h"

namespace velmox {
namespace {

constexpr const char* kSettingsFolder = "C:\\Program Files\\Velmox";

// Hands out the given values in order, then 0.5 for ever.
struct SequenceRandom : RandomSource {
  std::deque<double> values;
  int draws = 0;
  double NextUniform() override {
    ++draws;
    if (values.empty()) return 0.5;
    const double v = values.front();
    values.pop_front();
    return v;
  }
};

class LoadOptionsTest : public ::testing::Test {
 protected:
  // Calls of this kind ("read", "save") on this key fail; any key when empty.
  void FailCalls(std::string call, std::string key = "") {
    store.failCall = [call, key](std::string_view asked, const std::string& askedKey) {
      return asked == call && (key.empty() || askedKey == key);
    };
  }

  test::TempFolder folder;
  sim::SimSettingsStore store{folder.Path() / "settings.txt"};
  SequenceRandom random;
  AppState state;

  void Load() { LoadOptions(store, random, kSettingsFolder, state.OptionValues, state.URLPrefix); }
  std::string Stored(const char* section, const char* key) {
    return store.GetSetting("Velmox", section, key, "<missing>");
  }
  void Store(const char* section, const char* key, const char* value) {
    store.SaveSetting("Velmox", section, key, value);
  }
};

TEST_F(LoadOptionsTest, EmptyStoreGivesEveryDefaultAndAFreshToken) {
  Load();
  OptionRecord defaults;  // every other option is off
  defaults.BlockByDefault = defaults.BlinkLightBulb = true;
  defaults.LinkTarget = "_blank";
  defaults.SoundFileName = "C:\\Program Files\\Velmox\\sounds\\cork.wav";
  EXPECT_EQ(state.OptionValues, defaults);

  EXPECT_TRUE(std::regex_match(state.URLPrefix, std::regex("[0-9]{10}"))) << state.URLPrefix;
  EXPECT_NE(state.URLPrefix, kUnsetPrefix);
  EXPECT_EQ(Stored("Data", "URLPrefix"), state.URLPrefix);
  // Loading writes nothing but the token.
  EXPECT_EQ(Stored("Options", "BlockByDefault"), "<missing>");
}

TEST_F(LoadOptionsTest, SoundFileDefaultIsPlainConcatenation) {
  LoadOptions(store, random, "D:\\odd folder\\", state.OptionValues, state.URLPrefix);
  EXPECT_EQ(state.OptionValues.SoundFileName, "D:\\odd folder\\\\sounds\\cork.wav");
}

TEST_F(LoadOptionsTest, StoredUnsetMarkerIsReplaced) {
  Store("Data", "URLPrefix", "5830271946");
  random.values = {0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9, 0.0};
  Load();
  EXPECT_EQ(state.URLPrefix, "1234567890");
  EXPECT_EQ(Stored("Data", "URLPrefix"), "1234567890");
}

TEST_F(LoadOptionsTest, AnyOtherTenDigitTokenIsUsedUnchanged) {
  for (const char* token : {"0000000000", "0123456789", "9999999999"}) {
    Store("Data", "URLPrefix", token);
    AppState s;
    LoadOptions(store, random, kSettingsFolder, s.OptionValues, s.URLPrefix);
    EXPECT_EQ(s.URLPrefix, token);
  }
  EXPECT_EQ(random.draws, 0);
}

// The token becomes file names and script text: a path, a quote or anything but ten digits
// would write outside the folder or into the script, so it is replaced and stored anew.
TEST_F(LoadOptionsTest, AStoredTokenThatIsNotTenDigitsIsReplaced) {
  for (const char* token : {"..\\..\\x", "12345\"6789", "abc", "05830271946", "583027194",
                            " 583027194", "", "12345678\xd9\xa1"}) {
    Store("Data", "URLPrefix", token);
    random.values = {0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9, 0.0};
    AppState s;
    LoadOptions(store, random, kSettingsFolder, s.OptionValues, s.URLPrefix);
    EXPECT_EQ(s.URLPrefix, "1234567890") << token;
    EXPECT_EQ(Stored("Data", "URLPrefix"), "1234567890") << token;
  }
}

// A Boolean text that is no Boolean loads as a missing key does: its default, whatever the field
// held, so "garbage" in BlockByDefault cannot turn blocking off.
TEST_F(LoadOptionsTest, StoredBooleansConvertAndInvalidOnesLoadTheDefault) {
  Store("Options", "AutoClose", "TRUE");
  Store("Options", "AddressBar", "2.5");
  Store("Options", "PlayASound", " -1 ");
  Store("Options", "BlockByDefault", "garbage");
  Store("Options", "BlinkLightBulb", "");
  Store("Options", "ToolBar", "yes");
  Load();
  EXPECT_TRUE(state.OptionValues.AutoClose);
  EXPECT_TRUE(state.OptionValues.AddressBar);
  EXPECT_TRUE(state.OptionValues.PlayASound);
  EXPECT_TRUE(state.OptionValues.BlockByDefault);
  EXPECT_TRUE(state.OptionValues.BlinkLightBulb);
  EXPECT_FALSE(state.OptionValues.ToolBar);

  AppState already;
  already.OptionValues.ToolBar = true;
  Store("Options", "BlockByDefault", "0");
  LoadOptions(store, random, kSettingsFolder, already.OptionValues, already.URLPrefix);
  EXPECT_FALSE(already.OptionValues.ToolBar);
  EXPECT_FALSE(already.OptionValues.BlockByDefault);
}

TEST_F(LoadOptionsTest, FailedReadBehavesLikeAMissingKey) {
  Store("Options", "PlayASound", "True");
  Store("Options", "LinkTarget", "_top");
  FailCalls("read", "LinkTarget");
  Load();
  EXPECT_EQ(state.OptionValues.LinkTarget, "_blank");
  EXPECT_TRUE(state.OptionValues.PlayASound) << "loading goes on after the failure";
  EXPECT_TRUE(state.OptionValues.BlinkLightBulb);

  // A Boolean whose default is true is true when its read fails, not left false.
  Store("Options", "BlockByDefault", "False");
  FailCalls("read", "BlockByDefault");
  state = AppState();
  Load();
  EXPECT_TRUE(state.OptionValues.BlockByDefault);
}

TEST_F(LoadOptionsTest, FailedTokenReadMakesANewToken) {
  Store("Data", "URLPrefix", "1111111111");
  FailCalls("read", "URLPrefix");
  Load();
  EXPECT_EQ(state.URLPrefix.size(), 10u);
  EXPECT_NE(state.URLPrefix, kUnsetPrefix);
  EXPECT_EQ(random.draws, 10);
}

TEST_F(LoadOptionsTest, FailedTokenWriteKeepsTheTokenForThisRunOnly) {
  FailCalls("save");
  random.values = {0.05, 0.15, 0.25, 0.35, 0.45, 0.55, 0.65, 0.75, 0.85, 0.95};
  Load();
  EXPECT_EQ(state.URLPrefix, "0123456789");
  EXPECT_EQ(Stored("Data", "URLPrefix"), "<missing>");
  EXPECT_FALSE(std::filesystem::exists(store.File()));

  store.failCall = nullptr;
  random.values = {0.9, 0.9, 0.9, 0.9, 0.9, 0.9, 0.9, 0.9, 0.9, 0.9};
  AppState next;
  LoadOptions(store, random, kSettingsFolder, next.OptionValues, next.URLPrefix);
  EXPECT_EQ(next.URLPrefix, "9999999999");
}

// Each option alone changed from its default and stored as OK stores it reads back into its own
// field and no other: every field has a key of its own.
TEST_F(LoadOptionsTest, EachOptionReadsBackAloneAsStored) {
  Load();
  const OptionRecord defaults = state.OptionValues;
  for (const OptionField& field : kOptionFields) {
    OptionRecord changed = defaults;
    if (field.flag != nullptr)
      changed.*field.flag = !(defaults.*field.flag);
    else
      changed.*field.text = "changed";
    for (const OptionField& each : kOptionFields)
      StoreSetting(store, each.setting, StoredText(each, changed));
    AppState loaded;
    LoadOptions(store, random, kSettingsFolder, loaded.OptionValues, loaded.URLPrefix);
    EXPECT_EQ(loaded.OptionValues, changed) << field.setting.key;
    EXPECT_EQ(loaded.URLPrefix, state.URLPrefix) << field.setting.key;
  }
}

// The first value drawn gives the leftmost digit.
TEST(MakeCommandToken, DigitsStayInRangeAndKeepALeadingZero) {
  SequenceRandom random;
  // 1 - 2^-53 is the largest value below 1.
  random.values = {0.0,   1.0 - 0x1p-53, 0.9999999999999999, 0.1, 0.25, 0.5, 0.0999, 0.75,
                   0.875, 0.9999};
  EXPECT_EQ(MakeCommandToken(random), "0991250789");
}

}  // namespace
}  // namespace velmox
