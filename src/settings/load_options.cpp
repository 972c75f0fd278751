#include "settings/load_options.h"

#include "core/failure.h"
#include "settings/boolean_text.h"
#include "sites/context_command.h"

namespace velmox {
namespace {

// The stored text, or the default for a key that is missing or cannot be read.
std::string ReadOrDefault(SettingsStore& store, const SettingKey& setting,
                          const std::string& defaultText) {
  return TrapOr<std::string>(defaultText, [&] { return ReadSetting(store, setting, defaultText); });
}

// The token names files in the application folder and is written into the scripts the browser
// runs with access to the page: only ten digits are taken as they are stored.
bool IsCommandToken(const std::string& text) {
  if (text.size() != 10) return false;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
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
                 OptionRecord& options, std::string& URLPrefix) {
  for (const OptionField& field : kOptionFields) {
    const std::string defaultText = DefaultText(field, applicationFolder);
    std::string text = ReadOrDefault(store, field.setting, defaultText);
    // A Boolean text that is no Boolean reads as a missing key: taken as false, "garbage" in
    // BlockByDefault would silently let every unlisted site's pop-ups through.
    if (field.flag && !ParseBoolean(text)) text = defaultText;
    TakeStoredText(field, text, options);
  }

  URLPrefix = ReadOrDefault(store, kCommandTokenSetting, kUnsetPrefix);
  if (URLPrefix == kUnsetPrefix || !IsCommandToken(URLPrefix)) {
    SkipOnFailure([&] { URLPrefix = MakeCommandToken(random); });
    // A failed write leaves the new token in use for this run only.
    SkipOnFailure([&] { StoreSetting(store, kCommandTokenSetting, URLPrefix); });
  }
  SetUpRegistry();
}

}  // namespace velmox
