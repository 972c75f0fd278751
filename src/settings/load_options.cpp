#include "settings/load_options.h"

#include "core/failure.h"
#include "settings/boolean_text.h"
#include "sites/context_command.h"

namespace velmox {
namespace {

constexpr const char* kOptions = "Options";
constexpr const char* kData = "Data";

// The stored text, or the default for a key that is missing or cannot be read.
std::string ReadOrDefault(SettingsStore& store, const char* section, const char* key,
                          const std::string& defaultText) {
  return TrapOr<std::string>(
      defaultText, [&] { return store.GetSetting(kProductName, section, key, defaultText); });
}

// Reads a Boolean key; text that is not a Boolean leaves the field unchanged.
void LoadBoolean(SettingsStore& store, const char* key, const char* defaultText, bool& field) {
  if (auto value = ParseBoolean(ReadOrDefault(store, kOptions, key, defaultText))) field = *value;
}

void LoadText(SettingsStore& store, const char* section, const char* key,
              const std::string& defaultText, std::string& field) {
  field = ReadOrDefault(store, section, key, defaultText);
}

}  // namespace

std::string MakeCommandToken(RandomSource& random) {
  std::string token;
  for (int i = 0; i < 10; ++i) {
    int digit = static_cast<int>(random.NextUniform() * 10);
    if (digit < 0) digit = 0;
    if (digit > 9) digit = 9;
    token += static_cast<char>('0' + digit);
  }
  return token;
}

void LoadOptions(SettingsStore& store, RandomSource& random, const std::string& applicationFolder,
                 AppState& state) {
  OptionRecord& o = state.OptionValues;
  LoadBoolean(store, "AutoClose", "False", o.AutoClose);
  LoadBoolean(store, "AddressBar", "False", o.AddressBar);
  LoadBoolean(store, "FullScreen", "False", o.FullScreen);
  LoadBoolean(store, "MenuBar", "False", o.MenuBar);
  LoadBoolean(store, "StatusBar", "False", o.StatusBar);
  LoadBoolean(store, "TheaterMode", "False", o.TheaterMode);
  LoadBoolean(store, "ToolBar", "False", o.ToolBar);
  LoadBoolean(store, "IgnoreLocal", "False", o.IgnoreLocal);
  LoadText(store, kOptions, "LinkTarget", "_blank", o.LinkTarget);
  LoadBoolean(store, "BlockByDefault", "True", o.BlockByDefault);
  LoadBoolean(store, "BlinkLightBulb", "True", o.BlinkLightBulb);
  LoadBoolean(store, "PlayASound", "False", o.PlayASound);
  LoadText(store, kOptions, "SoundFileName", applicationFolder + "\\sounds\\cork.wav",
           o.SoundFileName);

  state.URLPrefix = kUnsetPrefix;
  LoadText(store, kData, "URLPrefix", kUnsetPrefix, state.URLPrefix);
  if (state.URLPrefix == kUnsetPrefix) {
    SkipOnFailure([&] { state.URLPrefix = MakeCommandToken(random); });
    // A failed write leaves the new token in use for this run only.
    SkipOnFailure([&] { store.SaveSetting(kProductName, kData, "URLPrefix", state.URLPrefix); });
  }
  SetUpRegistry();
}

}  // namespace velmox
