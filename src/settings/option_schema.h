#pragma once

#include <array>
#include <string>

#include "core/option_record.h"
#include "core/product.h"
#include "core/settings_store.h"

// Every setting Velmox keeps in the settings store, written down once: loading, the Settings
// dialog's Apply, OK and Cancel, and the settings fuzz target all read this table.
namespace velmox {

// Where a setting lives under the product's name, and the text a missing key reads as.
struct SettingKey {
  const char* section;
  const char* key;
  const char* defaultText;
};

// Which of the Settings dialog's buttons stores an option. Apply stores it at once (OK does too,
// and Cancel puts it back), as it does kAutoLoadSetting; OK alone stores the others.
enum class StoredBy { Apply, Ok };

// One field of OptionRecord and its setting. A Boolean field is stored as "True" or "False";
// a text field as it is.
struct OptionField {
  SettingKey setting;
  bool OptionRecord::*flag = nullptr;
  std::string OptionRecord::*text = nullptr;
  // The default is the application folder followed by `setting.defaultText`.
  bool defaultInFolder = false;
  StoredBy storedBy = StoredBy::Ok;
};

// The stored token's default, which marks a token that was never made.
inline constexpr const char* kUnsetPrefix = "5830271946";

inline constexpr SettingKey kAutoLoadSetting{"Options", "AutoLoad", "False"};
inline constexpr SettingKey kCommandTokenSetting{"Data", "URLPrefix", kUnsetPrefix};

// Every field of OptionRecord, in the order they are loaded (OK stores them in the same order).
inline constexpr std::array<OptionField, 13> kOptionFields = {{
    {.setting = {"Options", "AutoClose", "False"},
     .flag = &OptionRecord::AutoClose,
     .storedBy = StoredBy::Apply},
    {.setting = {"Options", "AddressBar", "False"}, .flag = &OptionRecord::AddressBar},
    {.setting = {"Options", "FullScreen", "False"}, .flag = &OptionRecord::FullScreen},
    {.setting = {"Options", "MenuBar", "False"}, .flag = &OptionRecord::MenuBar},
    {.setting = {"Options", "StatusBar", "False"}, .flag = &OptionRecord::StatusBar},
    {.setting = {"Options", "TheaterMode", "False"}, .flag = &OptionRecord::TheaterMode},
    {.setting = {"Options", "ToolBar", "False"}, .flag = &OptionRecord::ToolBar},
    {.setting = {"Options", "IgnoreLocal", "False"}, .flag = &OptionRecord::IgnoreLocal},
    {.setting = {"Options", "LinkTarget", "_blank"}, .text = &OptionRecord::LinkTarget},
    {.setting = {"Options", "BlockByDefault", "True"}, .flag = &OptionRecord::BlockByDefault},
    {.setting = {"Options", "BlinkLightBulb", "True"}, .flag = &OptionRecord::BlinkLightBulb},
    {.setting = {"Options", "PlayASound", "False"}, .flag = &OptionRecord::PlayASound},
    {.setting = {"Options", "SoundFileName", "\\sounds\\cork.wav"},
     .text = &OptionRecord::SoundFileName,
     .defaultInFolder = true},
}};

// The text a missing key of `field` reads as.
std::string DefaultText(const OptionField& field, const std::string& applicationFolder);
// The field's value as it is stored.
std::string StoredText(const OptionField& field, const OptionRecord& options);
// Puts a stored text into the field. A text that is no Boolean leaves a Boolean field as it was.
void TakeStoredText(const OptionField& field, const std::string& text, OptionRecord& options);

// The stored text, or `defaultText` when the key is missing. May throw PlatformError.
std::string ReadSetting(SettingsStore& store, const SettingKey& setting,
                        const std::string& defaultText);
// May throw PlatformError.
void StoreSetting(SettingsStore& store, const SettingKey& setting, const std::string& text);

}  // namespace velmox
