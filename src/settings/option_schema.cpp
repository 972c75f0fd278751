#include "settings/option_schema.h"

#include "settings/boolean_text.h"

namespace velmox {

std::string DefaultText(const OptionField& field, const std::string& applicationFolder) {
  const std::string text = field.setting.defaultText;
  return field.defaultInFolder ? applicationFolder + text : text;
}

std::string StoredText(const OptionField& field, const OptionRecord& options) {
  return field.flag != nullptr ? BooleanText(options.*field.flag) : options.*field.text;
}

void TakeStoredText(const OptionField& field, const std::string& text, OptionRecord& options) {
  if (field.flag == nullptr) {
    options.*field.text = text;
  } else if (auto value = ParseBoolean(text)) {
    options.*field.flag = *value;
  }
}

std::string ReadSetting(SettingsStore& store, const SettingKey& setting,
                        const std::string& defaultText) {
  return store.GetSetting(kProductName, setting.section, setting.key, defaultText);
}

void StoreSetting(SettingsStore& store, const SettingKey& setting, const std::string& text) {
  store.SaveSetting(kProductName, setting.section, setting.key, text);
}

}  // namespace velmox
